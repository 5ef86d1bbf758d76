#pragma once
// A QsciScintilla seen as an app::TextEditor. The widget works in UTF-8; the core's text is 8-bit
// bytes in a code page. The adapter shows the bytes decoded with its code page and encodes what
// the widget holds back with it, so the core's byte offsets stay byte offsets:
// - every byte comes back unchanged, also a byte the code page leaves undefined (shown as a
//   private-use character, U+F780 to U+F7FF) and NUL; only where two byte pairs of 932 or 950
//   mean one character (vendor extensions) does the pair come back as the one iconv writes;
// - a character typed or pasted that the code page lacks is, for the core, its character
//   reference "&#N;" (the bytes a save writes), though the widget keeps showing the character;
// - in a multi-byte code page (932, 936, 949, 950) a selection whose ends fall inside characters
//   grows to cover them whole.
// With a single-byte code page a byte is a character, and offsets map to widget positions
// through Scintilla's line index; multi-byte code pages (or a typed character the code page
// lacks) walk the text instead.
//
// Whole-text loads and big replacements run with word wrap off and restore it after: wrapping
// a long text at once costs seconds, wrapping it afterwards costs only the lines shown. The
// adapter's own changes (Load, SetText, Clear, ReplaceSelection) send no SCN_MODIFIED for each
// insert and delete (QScintilla would count characters from the start of the text for each);
// the widget emits textChanged() and, when the line count changed, linesChanged() once after.

#include <QMetaObject>
#include <QPointer>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/TextEditor.h"

class QsciScintilla;

namespace app::ui {

class EditorCodec;

class QsciTextEditor : public app::TextEditor {
 public:
  // Puts the widget into UTF-8 mode; line breaks typed in it are CR LF until SetLineBreakStyle.
  // The widget is not owned.
  QsciTextEditor(QsciScintilla& widget, int codePageNumber);
  ~QsciTextEditor() override;
  QsciTextEditor(const QsciTextEditor&) = delete;
  QsciTextEditor& operator=(const QsciTextEditor&) = delete;

  // Shows the same bytes decoded with another code page. The text is put in anew, so the undo
  // history is forgotten (its steps hold characters of the old decoding); the selection and the
  // first line shown stay where they were, counted in bytes and lines. The same number again
  // changes nothing. A character the old code page lacked is now its "&#N;" text.
  void SetCodePage(int codePageNumber);
  int CodePage() const;
  QsciScintilla& Widget() { return widget_; }

  std::string Text() const override;
  void SetText(std::string_view text) override;
  void Clear() override;
  void Load(std::string_view text) override;

  size_t LineCount() const override;
  std::vector<std::string> Lines() const override;
  LineBreak LineBreakStyle() const override { return lineBreak_; }
  void SetLineBreakStyle(LineBreak style) override;

  size_t SelectionStart() const override;
  size_t SelectionLength() const override;
  std::string SelectedText() const override;
  void Select(size_t start, size_t length) override;
  void ReplaceSelection(std::string_view text) override;

  bool CanUndo() const override;
  void Undo() override;

 private:
  struct Range {
    size_t Start;
    size_t End;
  };
  long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
  std::string_view Utf8Text() const;
  std::string_view Utf8Range(size_t start, size_t end) const;
  // Replaces the widget's positions [start, end) with UTF-8 text.
  void ReplaceRange(size_t start, size_t end, std::string_view utf8);
  // True while a byte is a character: single-byte code page, nothing typed it lacks.
  bool OneBytePerCharacter() const;
  // The widget positions of the byte offsets start <= end, clamped to the text; in a
  // multi-byte code page an offset inside a character moves to the character's start (start) or
  // end (end).
  Range PositionsOf(size_t start, size_t end) const;
  size_t OffsetOfPosition(size_t position) const;
  Range SelectionPositions() const;
  void Watch(int modificationType, const char* text, int length);

  QsciScintilla& widget_;
  std::unique_ptr<EditorCodec> codec_;
  LineBreak lineBreak_ = LineBreak::CrLf;
  // Set when the widget got a character the code page may lack; cleared by a whole-text load or
  // by a Text() that found none.
  mutable bool maybeUnmappable_ = false;
  QMetaObject::Connection watch_;
  QPointer<QsciScintilla> guard_;  // to leave a widget alone that was destroyed first
};

}  // namespace app::ui
