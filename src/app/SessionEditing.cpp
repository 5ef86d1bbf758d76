#include <string>

#include "app/Session.h"
#include "editor/FindReplace.h"

namespace app {

void Session::ShowPage(int page) {
  selectedPage_ = page;
  ui_.ShowPage(page);
}

void Session::PageSelected(int page) {
  selectedPage_ = page;
  if (page == kSourcePage) SetWindowCaption(document_.SourceHtmlPath);
  if (page == kFb2Page) SetWindowCaption(document_.LastFb2Path);
}

TextEditor* Session::ActiveEditor() {
  switch (selectedPage_) {
    case kSourcePage:
      return &source_;
    case kFb2Page:
      return &result_;
    default:
      return nullptr;
  }
}

std::string& Session::SearchText(SearchDialog dialog) {
  return dialog == SearchDialog::Find ? findSearchText_ : replaceSearchText_;
}

void Session::MirrorSearchText(SearchDialog from) {
  if (from == SearchDialog::Find)
    replaceSearchText_ = findSearchText_;
  else
    findSearchText_ = replaceSearchText_;
}

bool Session::FindNextInActiveEditor(std::string_view text, bool quiet) {
  TextEditor* editor = ActiveEditor();
  if (!editor || text.empty()) return false;
  return editor::FindInEditor(*editor, text, quiet, ui_);
}

void Session::ReplaceSelectionAndFindNext(std::string_view text, std::string_view replacement) {
  TextEditor* editor = ActiveEditor();
  // An empty search text would "match" an empty selection and insert at the caret.
  if (!editor || text.empty()) return;
  editor::ReplaceSelectionIfEqual(*editor, text, replacement);
  FindNextInActiveEditor(text, false);
}

void Session::ReplaceAllInActiveEditor(std::string_view text, std::string_view replacement) {
  TextEditor* editor = ActiveEditor();
  if (!editor) return;
  const size_t count = editor::ReplaceAllFromSelection(*editor, text, replacement);
  ui_.ShowMessage(kProgramName, std::to_string(count) + std::string(editor::kItemsReplacedSuffix));
}

void Session::Act_Find() {
  TextEditor* editor = ActiveEditor();
  if (!editor) return;
  if (editor->SelectionLength() > 0) findSearchText_ = editor->SelectedText();
  ui_.ShowFindDialog();
}

void Session::Act_FindNext() {
  TextEditor* editor = ActiveEditor();
  if (!editor) return;
  if (editor->SelectionLength() > 0) findSearchText_ = editor->SelectedText();
  if (findSearchText_.empty())
    ui_.ShowFindDialog();
  else
    editor::FindInEditor(*editor, findSearchText_, false, ui_);
}

void Session::Act_Replace() {
  TextEditor* editor = ActiveEditor();
  if (!editor) return;
  if (editor->SelectionLength() > 0) replaceSearchText_ = editor->SelectedText();
  ui_.ShowReplaceDialog();
}

void Session::FindDialogFind() {
  MirrorSearchText(SearchDialog::Find);
  if (!findSearchText_.empty()) FindNextInActiveEditor(findSearchText_, false);
}

void Session::ReplaceDialogFind() {
  MirrorSearchText(SearchDialog::Replace);
  if (!replaceSearchText_.empty()) FindNextInActiveEditor(replaceSearchText_, false);
}

void Session::ReplaceDialogReplace() {
  MirrorSearchText(SearchDialog::Replace);
  if (!replaceSearchText_.empty())
    ReplaceSelectionAndFindNext(replaceSearchText_, replacementText_);
}

void Session::ReplaceDialogAll() {
  MirrorSearchText(SearchDialog::Replace);
  if (!replaceSearchText_.empty()) ReplaceAllInActiveEditor(replaceSearchText_, replacementText_);
}

void Session::InsertFb2Tag(editor::Fb2Tag tag) {
  editor::InsertFb2Tag(result_, tag);
}

}  // namespace app
