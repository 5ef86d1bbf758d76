#pragma once
// The one place that makes a QsciScintilla into one of the main window's two editors: the source
// editor (HTML colouring, comments teal) or the result editor (XML colouring, comments green).
// Both get "Courier New" 10 points (the machine's monospace face where that is missing), word
// wrap, UTF-8 mode (what QsciTextEditor expects) and line numbers in the margin.
//
// The Edit menu needs nothing more: QsciScintilla's own undo(), cut(), copy(), paste(),
// removeSelectedText() and selectAll() act on what the widget shows.

#include <QFont>

class QsciScintilla;

namespace app::ui {

enum class EditorRole { Source, Result };

// Sets up the widget for its role; the text and its undo history are left as they are. The
// lexer is created as a child of the widget.
void SetUpEditor(QsciScintilla& editor, EditorRole role);
void SetUpSourceEditor(QsciScintilla& editor);
void SetUpResultEditor(QsciScintilla& editor);

// "Courier New" 10 points, or a monospace face of 10 points where the machine lacks it.
QFont EditorFont();

}  // namespace app::ui
