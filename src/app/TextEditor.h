#pragma once
// An editable text as the commands see it: the source editor and the result editor. The GUI
// adapts its editor widget to this; PlainTextEditor keeps the text in memory for tests and the CLI.
// Text is 8-bit bytes in the system code page; positions are byte offsets.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace app {

enum class LineBreak { CrLf, Lf, Cr };

class TextEditor {
 public:
  virtual ~TextEditor() = default;

  // The whole text: the lines joined by the editor's line break.
  virtual std::string Text() const = 0;
  // Replaces the whole text as one undo step.
  virtual void SetText(std::string_view text) = 0;
  // Empties the editor together with its undo and redo history.
  virtual void Clear() = 0;
  // Replaces the whole text and forgets the history (a freshly loaded document).
  virtual void Load(std::string_view text) = 0;

  virtual size_t LineCount() const = 0;
  virtual std::vector<std::string> Lines() const = 0;
  virtual LineBreak LineBreakStyle() const = 0;
  virtual void SetLineBreakStyle(LineBreak style) = 0;

  virtual size_t SelectionStart() const = 0;
  virtual size_t SelectionLength() const = 0;
  virtual std::string SelectedText() const = 0;
  virtual void Select(size_t start, size_t length) = 0;
  // Replaces the selection as one undo step; the caret ends after the inserted text.
  virtual void ReplaceSelection(std::string_view text) = 0;

  virtual bool CanUndo() const = 0;
  virtual void Undo() = 0;
};

}  // namespace app
