#include "app/ui/EditorSetup.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFontDatabase>
#include <QFontInfo>

namespace app::ui {

namespace {

const QColor kTeal(0x00, 0x80, 0x80);
const QColor kGreen(0x00, 0x80, 0x00);

}  // namespace

QFont EditorFont() {
  QFont font(QStringLiteral("Courier New"), 10);
  // Without the face, fontconfig picks by the hint: a monospace one.
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
  }
  return font;
}

void SetUpEditor(QsciScintilla& editor, EditorRole role) {
  const QFont font = EditorFont();
  editor.setUtf8(true);
  editor.setFont(font);

  QsciLexerHTML* lexer =
      role == EditorRole::Source ? new QsciLexerHTML(&editor) : new QsciLexerXML(&editor);
  lexer->setDefaultFont(font);
  lexer->setFont(font);
  const QColor comments = role == EditorRole::Source ? kTeal : kGreen;
  lexer->setColor(comments, QsciLexerHTML::HTMLComment);
  lexer->setColor(comments, QsciLexerHTML::SGMLComment);
  QsciLexer* old = editor.lexer();
  editor.setLexer(lexer);
  if (old && old->parent() == &editor) delete old;

  editor.setWrapMode(QsciScintilla::WrapWord);
  editor.setMarginType(0, QsciScintilla::NumberMargin);
  editor.setMarginLineNumbers(0, true);
  editor.setMarginsFont(font);
  editor.setMarginWidth(0, QStringLiteral("000000"));
}

void SetUpSourceEditor(QsciScintilla& editor) {
  SetUpEditor(editor, EditorRole::Source);
}

void SetUpResultEditor(QsciScintilla& editor) {
  SetUpEditor(editor, EditorRole::Result);
}

}  // namespace app::ui
