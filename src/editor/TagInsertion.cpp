#include "editor/TagInsertion.h"

#include "engine/TextUtil.h"

namespace editor {

std::string_view Fb2TagCaption(Fb2Tag tag) {
  switch (tag) {
    case Fb2Tag::P:
      return "<p>...</p>";
    case Fb2Tag::Epigraph:
      return "<epigraph>...</epigraph>";
    case Fb2Tag::Cite:
      return "<cite>...</cite>";
    case Fb2Tag::Author:
      return "<text-author>...</text-author>";
    case Fb2Tag::Poem:
      return "<poem>...</poem>";
    case Fb2Tag::Stanza:
      return "<stanza>...</stanza>";
    case Fb2Tag::V:
      return "<v>...</v>";
    case Fb2Tag::Strong:
      return "<strong>...</strong>";
    case Fb2Tag::Emphasis:
      return "<emphasis>...</emphasis>";
    case Fb2Tag::EmptyLine:
      return "<empty-line/>";
  }
  return {};
}

bool Fb2TagInPopupMenu(Fb2Tag tag) {
  return tag != Fb2Tag::P;
}

std::string ReplaceAllText(std::string_view text, std::string_view search,
                           std::string_view replacement) {
  return engine::ReplaceAll(text, search, replacement);
}

std::string VerseText(std::string_view text) {
  std::string out = ReplaceAllText(text, "<p>", "<v>");
  out = ReplaceAllText(out, "<P>", "<v>");
  out = ReplaceAllText(out, "</p>", "</v>");
  return ReplaceAllText(out, "</P>", "</v>");
}

void WrapSelection(app::TextEditor& editor, std::string_view before, std::string_view after) {
  std::string text(before);
  text += editor.SelectedText();
  text += after;
  editor.ReplaceSelection(text);
}

void InsertFb2Tag(app::TextEditor& editor, Fb2Tag tag) {
  switch (tag) {
    case Fb2Tag::P:
      return WrapSelection(editor, "\r\n<p>", "</p>\r\n");
    case Fb2Tag::Epigraph:
      return WrapSelection(editor, "<epigraph>", "</epigraph>");
    case Fb2Tag::Cite:
      return WrapSelection(editor, "<cite>", "</cite>");
    case Fb2Tag::Author:
      return WrapSelection(editor, "<text-author>", "</text-author>");
    case Fb2Tag::Poem:
      return WrapSelection(editor, "<poem>\r\n", "\r\n</poem>");
    case Fb2Tag::Stanza:
      return editor.ReplaceSelection("<stanza>\r\n" + VerseText(editor.SelectedText()) +
                                     "</stanza>");
    case Fb2Tag::V:
      return editor.ReplaceSelection(VerseText(editor.SelectedText()));
    case Fb2Tag::Strong:
      return WrapSelection(editor, "<strong>", "</strong>");
    case Fb2Tag::Emphasis:
      return WrapSelection(editor, "<emphasis>", "</emphasis>");
    case Fb2Tag::EmptyLine:
      return editor.ReplaceSelection("<empty-line/>");
  }
}

}  // namespace editor
