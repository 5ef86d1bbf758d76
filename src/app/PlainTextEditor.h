#pragma once
// An in-memory TextEditor for the command line and the tests (the contract is in TextEditor.h).
// Every change is one undo step, and Undo() also brings back the selection the step replaced.
// The text is kept whole: lines are split only when Lines() asks, and the line count is counted
// once per change.

#include <string>
#include <vector>

#include "app/TextEditor.h"

namespace app {

class PlainTextEditor : public TextEditor {
 public:
  PlainTextEditor() = default;
  explicit PlainTextEditor(std::string_view text) : text_(text) {}

  std::string Text() const override { return text_; }
  const std::string& View() const { return text_; }
  void SetText(std::string_view text) override;
  void Clear() override;
  void Load(std::string_view text) override;

  size_t LineCount() const override;
  std::vector<std::string> Lines() const override { return SplitLines(text_); }
  LineBreak LineBreakStyle() const override { return lineBreak_; }
  void SetLineBreakStyle(LineBreak style) override { lineBreak_ = style; }

  size_t SelectionStart() const override { return selStart_; }
  size_t SelectionLength() const override { return selLength_; }
  std::string SelectedText() const override { return text_.substr(selStart_, selLength_); }
  void Select(size_t start, size_t length) override;
  void ReplaceSelection(std::string_view text) override;

  bool CanUndo() const override { return !undo_.empty(); }
  void Undo() override;

 private:
  struct Snapshot {
    std::string Text;
    size_t SelStart;
    size_t SelLength;
  };
  void Remember();

  static constexpr size_t kUnknown = static_cast<size_t>(-1);

  std::string text_;
  mutable size_t lineCount_ = kUnknown;  // CountLines(text_), counted on demand
  LineBreak lineBreak_ = LineBreak::CrLf;
  size_t selStart_ = 0;
  size_t selLength_ = 0;
  std::vector<Snapshot> undo_;
};

}  // namespace app
