#pragma once
// A view of an editor for the session that can hold back a batch's changes. Normally every call
// goes straight to the editor. While held, the calls work on a copy in memory, and the editor
// receives the outcome once, when the hold ends: a batch loads two texts into the editors per
// file, and drawing them costs more than converting a small book.

#include "app/PlainTextEditor.h"
#include "app/TextEditor.h"

namespace batch::ui {

class BufferedEditor : public app::TextEditor {
 public:
  explicit BufferedEditor(app::TextEditor& editor) : editor_(editor) {}

  // From here on the calls work on a copy of the editor's text, selection and line-break style
  // (without its undo history).
  void Hold();
  // The editor takes what changed in the copy: a changed text as a freshly loaded document, the
  // selection and the line-break style. Then calls go to the editor again.
  void Release();
  bool Holding() const { return holding_; }

  std::string Text() const override { return Active().Text(); }
  void SetText(std::string_view text) override;
  void Clear() override;
  void Load(std::string_view text) override;
  size_t LineCount() const override { return Active().LineCount(); }
  std::vector<std::string> Lines() const override { return Active().Lines(); }
  app::LineBreak LineBreakStyle() const override { return Active().LineBreakStyle(); }
  void SetLineBreakStyle(app::LineBreak style) override;
  size_t SelectionStart() const override { return Active().SelectionStart(); }
  size_t SelectionLength() const override { return Active().SelectionLength(); }
  std::string SelectedText() const override { return Active().SelectedText(); }
  void Select(size_t start, size_t length) override;
  void ReplaceSelection(std::string_view text) override;
  bool CanUndo() const override { return Active().CanUndo(); }
  void Undo() override;

 private:
  const app::TextEditor& Active() const;
  // The editor to change; while held, the copy, noting what changes.
  app::TextEditor& TextChanging();
  app::TextEditor& OtherChanging();

  app::TextEditor& editor_;
  app::PlainTextEditor copy_;
  bool holding_ = false;
  bool textChanged_ = false;
  bool otherChanged_ = false;  // the selection or the line-break style
};

}  // namespace batch::ui
