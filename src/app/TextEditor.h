#pragma once
// An editable text as the commands see it: the source editor and the result editor. The GUI
// adapts its editor widget to this; PlainTextEditor keeps the text in memory for tests and the CLI.
//
// What every editor guarantees:
// - Text is 8-bit bytes in a code page, and the editor keeps the bytes it is given, line breaks
//   included: Text() is what Load or SetText put in plus the edits since, whatever mix of CR LF,
//   LF and CR it holds ("a\r\nb\nc\rd" comes back as it went in). NUL bytes are text too.
// - Positions and lengths are byte offsets into Text(), the first byte being 0.
// - Lines() splits Text() at every CR LF, CR and LF: "a\r\nb\nc\rd" gives "a", "b", "c", "d".
//   A text that ends with a line break has an empty last line ("a\r\n" gives "a", ""), so the
//   lines joined by one line break give the text back with its breaks unified. An empty editor
//   has no lines: LineCount() == Lines().size() == 0.
// - The line-break style is the break the lines are written back with when a document is saved,
//   and the break a new line typed into the editor gets. It never changes the text; Load,
//   SetText and Clear keep it (a loaded file sets its own style after Load).
// - History: SetText and ReplaceSelection are one undo step each; Load and Clear forget the
//   whole history (CanUndo() is false after them). Undo() takes back the last step, restoring
//   the text byte for byte; the selection afterwards lies inside the text, where exactly is the
//   editor's own.
// - Select clamps: a start past the end becomes the end, a length past the end stops at the end.
//   Load, SetText and Clear leave an empty selection at 0.
// - ReplaceSelection leaves an empty selection (the caret) right after the inserted text.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace app {

enum class LineBreak { CrLf, Lf, Cr };

class TextEditor {
 public:
  virtual ~TextEditor() = default;

  // The whole text, byte for byte as held.
  virtual std::string Text() const = 0;
  // Replaces the whole text as one undo step.
  virtual void SetText(std::string_view text) = 0;
  // Empties the editor together with its undo history.
  virtual void Clear() = 0;
  // Replaces the whole text and forgets the history (a freshly loaded document).
  virtual void Load(std::string_view text) = 0;

  virtual size_t LineCount() const = 0;
  virtual std::vector<std::string> Lines() const = 0;
  // CR LF until set otherwise.
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

// The lines of a text split as Lines() splits them, and their count (PlainTextEditor.cpp).
std::vector<std::string> SplitLines(std::string_view text);
size_t CountLines(std::string_view text);

}  // namespace app
