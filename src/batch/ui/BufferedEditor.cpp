#include "batch/ui/BufferedEditor.h"

namespace batch::ui {

void BufferedEditor::Hold() {
  if (holding_) return;
  copy_.Load(editor_.Text());
  copy_.SetLineBreakStyle(editor_.LineBreakStyle());
  copy_.Select(editor_.SelectionStart(), editor_.SelectionLength());
  holding_ = true;
  textChanged_ = otherChanged_ = false;
}

void BufferedEditor::Release() {
  if (!holding_) return;
  holding_ = false;
  if (textChanged_) editor_.Load(copy_.Text());
  if (textChanged_ || otherChanged_) {
    editor_.SetLineBreakStyle(copy_.LineBreakStyle());
    editor_.Select(copy_.SelectionStart(), copy_.SelectionLength());
  }
  copy_.Clear();
}

const app::TextEditor& BufferedEditor::Active() const {
  return holding_ ? static_cast<const app::TextEditor&>(copy_) : editor_;
}

app::TextEditor& BufferedEditor::TextChanging() {
  if (!holding_) return editor_;
  textChanged_ = true;
  return copy_;
}

app::TextEditor& BufferedEditor::OtherChanging() {
  if (!holding_) return editor_;
  otherChanged_ = true;
  return copy_;
}

void BufferedEditor::SetText(std::string_view text) {
  TextChanging().SetText(text);
}

void BufferedEditor::Clear() {
  TextChanging().Clear();
}

void BufferedEditor::Load(std::string_view text) {
  TextChanging().Load(text);
}

void BufferedEditor::SetLineBreakStyle(app::LineBreak style) {
  OtherChanging().SetLineBreakStyle(style);
}

void BufferedEditor::Select(size_t start, size_t length) {
  OtherChanging().Select(start, length);
}

void BufferedEditor::ReplaceSelection(std::string_view text) {
  TextChanging().ReplaceSelection(text);
}

void BufferedEditor::Undo() {
  TextChanging().Undo();
}

}  // namespace batch::ui
