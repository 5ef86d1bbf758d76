// The TextEditor contract (TextEditor.h), run over the in-memory editor and over the QScintilla
// adapter, then what only the adapter does: code pages between the core's bytes and the widget.

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "app/PlainTextEditor.h"
#include "app/ui/EditorSetup.h"
#include "app/ui/QsciTextEditor.h"
#include "editor/FindReplace.h"
#include "output/Fb2Saving.h"
#include "support/FakeUserInterface.h"

namespace {

using app::LineBreak;
using app::TextEditor;
using Sci = QsciScintillaBase;

// "Привет, мир" in windows-1251.
const std::string kHelloWorld1251 = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0";

struct PlainHost {
  app::PlainTextEditor Editor;
};

// A shown source editor in windows-1251, set up as the main window sets it up.
struct QsciHost {
  QsciHost() : Editor(Widget, 1251) {
    app::ui::SetUpSourceEditor(Widget);
    Widget.resize(640, 480);
    Widget.show();
  }
  QsciScintilla Widget;
  app::ui::QsciTextEditor Editor;
};

template <typename Host>
class TextEditorContract : public ::testing::Test {
 protected:
  TextEditor& Editor() { return host_.Editor; }

  void ExpectSelection(size_t start, size_t length, const std::string& text) {
    EXPECT_EQ(Editor().SelectionStart(), start);
    EXPECT_EQ(Editor().SelectionLength(), length);
    EXPECT_EQ(Editor().SelectedText(), text);
  }

 private:
  Host host_;
};

struct HostNames {
  template <typename Host>
  static std::string GetName(int) {
    return std::is_same_v<Host, PlainHost> ? "Plain" : "Qsci";
  }
};

using Hosts = ::testing::Types<PlainHost, QsciHost>;
TYPED_TEST_SUITE(TextEditorContract, Hosts, HostNames);

TYPED_TEST(TextEditorContract, KeepsTheBytesAndSplitsLinesAtEveryBreak) {
  struct Case {
    std::string Text;
    std::vector<std::string> Lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a", ""}},
      {"a\n\n", {"a", "", ""}},
      {"\n", {"", ""}},
      {"\r\r\n", {"", "", ""}},
      {"\r\n\r", {"", "", ""}},
      {kHelloWorld1251 + "\r\n\xE0\xFF", {kHelloWorld1251, "\xE0\xFF"}},
      {std::string("a\0b\r\n\0", 6), {std::string("a\0b", 3), std::string(1, '\0')}},
  };
  for (const Case& c : cases) {
    for (const bool load : {true, false}) {
      SCOPED_TRACE(testing::PrintToString(c.Text) + (load ? " loaded" : " set"));
      if (load)
        this->Editor().Load(c.Text);
      else
        this->Editor().SetText(c.Text);
      EXPECT_EQ(this->Editor().Text(), c.Text);
      EXPECT_EQ(this->Editor().Lines(), c.Lines);
      EXPECT_EQ(this->Editor().LineCount(), c.Lines.size());
      EXPECT_EQ(app::SplitLines(c.Text), c.Lines);
      this->ExpectSelection(0, 0, "");
    }
  }
}

TYPED_TEST(TextEditorContract, SetTextIsOneUndoStepWhileLoadAndClearForgetTheHistory) {
  TextEditor& editor = this->Editor();
  EXPECT_FALSE(editor.CanUndo());
  editor.Load("first\r\nline");
  EXPECT_FALSE(editor.CanUndo());
  editor.SetText("second");
  editor.SetText("third\n");
  EXPECT_TRUE(editor.CanUndo());
  editor.Undo();
  EXPECT_EQ(editor.Text(), "second");
  editor.Undo();
  EXPECT_EQ(editor.Text(), "first\r\nline");
  EXPECT_FALSE(editor.CanUndo());

  editor.SetText("x");
  editor.Load("loaded");
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_EQ(editor.Text(), "loaded");

  editor.SetText("y");
  editor.Clear();
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_EQ(editor.Text(), "");
  EXPECT_EQ(editor.LineCount(), 0u);
  EXPECT_TRUE(editor.Lines().empty());
  this->ExpectSelection(0, 0, "");
}

TYPED_TEST(TextEditorContract, SelectClampsToTheText) {
  struct Case {
    size_t Start, Length;
    size_t ExpectedStart, ExpectedLength;
    std::string Selected;
  } cases[] = {
      {0, 0, 0, 0, ""},         {3, 2, 3, 2, "\r\n"},
      {2, 10, 2, 5, "c\r\nde"}, {5, SIZE_MAX, 5, 2, "de"},
      {7, 0, 7, 0, ""},         {7, 3, 7, 0, ""},
      {10, 1, 7, 0, ""},        {SIZE_MAX, SIZE_MAX, 7, 0, ""},
  };
  this->Editor().Load("abc\r\nde");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Start << "+" << c.Length);
    this->Editor().Select(c.Start, c.Length);
    this->ExpectSelection(c.ExpectedStart, c.ExpectedLength, c.Selected);
  }
}

TYPED_TEST(TextEditorContract, SelectionsCountBytesOfEightBitText) {
  TextEditor& editor = this->Editor();
  editor.Load("\xC0\xC1\r\n" + kHelloWorld1251);
  editor.Select(12, 3);
  this->ExpectSelection(12, 3, "\xEC\xE8\xF0");
  editor.Select(1, 4);
  this->ExpectSelection(1, 4, "\xC1\r\n\xCF");
}

TYPED_TEST(TextEditorContract, EachReplacementIsOneUndoStepWithTheCaretAfterIt) {
  TextEditor& editor = this->Editor();
  editor.Load("hello world");
  editor.Select(6, 5);
  editor.ReplaceSelection("there");
  EXPECT_EQ(editor.Text(), "hello there");
  this->ExpectSelection(11, 0, "");

  editor.Select(0, 0);
  editor.ReplaceSelection(">> ");
  EXPECT_EQ(editor.Text(), ">> hello there");
  this->ExpectSelection(3, 0, "");

  editor.Select(3, 6);
  editor.ReplaceSelection("");
  EXPECT_EQ(editor.Text(), ">> there");
  this->ExpectSelection(3, 0, "");

  editor.Select(8, 0);
  editor.ReplaceSelection("\r\n\xCF\xF0\xE8\n");
  EXPECT_EQ(editor.Text(), ">> there\r\n\xCF\xF0\xE8\n");
  this->ExpectSelection(14, 0, "");
  EXPECT_EQ(editor.LineCount(), 3u);

  const char* history[] = {">> there", ">> hello there", "hello there", "hello world"};
  for (const char* text : history) {
    ASSERT_TRUE(editor.CanUndo());
    editor.Undo();
    EXPECT_EQ(editor.Text(), text);
    EXPECT_LE(editor.SelectionStart() + editor.SelectionLength(), editor.Text().size());
  }
  EXPECT_FALSE(editor.CanUndo());
}

TYPED_TEST(TextEditorContract, TheLineBreakStyleIsKeptAndLeavesTheTextAlone) {
  TextEditor& editor = this->Editor();
  EXPECT_EQ(editor.LineBreakStyle(), LineBreak::CrLf);
  editor.Load("a\r\nb\nc");
  for (const LineBreak style : {LineBreak::Lf, LineBreak::Cr, LineBreak::CrLf, LineBreak::Lf}) {
    editor.SetLineBreakStyle(style);
    EXPECT_EQ(editor.LineBreakStyle(), style);
    EXPECT_EQ(editor.Text(), "a\r\nb\nc");
  }
  editor.Load("x\r\n");
  editor.SetText("y");
  editor.Clear();
  EXPECT_EQ(editor.LineBreakStyle(), LineBreak::Lf);
}

// What opening an FB2 file and saving it again does with the editor: Load, the file's style,
// then the lines written back joined by that style.
TYPED_TEST(TextEditorContract, AReopenedFileIsWrittenBackAsItCame) {
  struct Case {
    std::string File;
    LineBreak Style;
    std::string Saved;
  } cases[] = {
      {"<a>\n<b/>\n</a>\n", LineBreak::Lf, "<a>\n<b/>\n</a>\n"},
      {"<a>\r<b/>\r</a>", LineBreak::Cr, "<a>\r<b/>\r</a>"},
      {"<a>\r\n<b/>\r\n</a>\r\n", LineBreak::CrLf, "<a>\r\n<b/>\r\n</a>\r\n"},
      {"<a>\r\n<b/>\n</a>\r", LineBreak::CrLf, "<a>\r\n<b/>\r\n</a>\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.File));
    this->Editor().Load(c.File);
    this->Editor().SetLineBreakStyle(c.Style);
    const std::string_view lineBreak = c.Style == LineBreak::Lf   ? "\n"
                                       : c.Style == LineBreak::Cr ? "\r"
                                                                  : "\r\n";
    EXPECT_EQ(output::Fb2FileBytes(this->Editor().Lines(), false, lineBreak), c.Saved);
  }
}

// Find and replace-all search Text() by bytes and select what they found by the same offsets.
TYPED_TEST(TextEditorContract, FindAndReplaceAllLandOnTheBytesTheyFound) {
  TextEditor& editor = this->Editor();
  testsupport::FakeUserInterface ui;
  editor.Load(kHelloWorld1251 + "\r\n\xEC\xE8\xF0\n-\r\xEC\xE8\xF0!");
  const std::string world = "\xEC\xE8\xF0";
  for (const size_t expected : {8u, 13u, 19u}) {
    ASSERT_TRUE(editor::FindInEditor(editor, world, false, ui));
    this->ExpectSelection(expected, 3, world);
  }
  EXPECT_FALSE(editor::FindInEditor(editor, world, false, ui));
  EXPECT_EQ(ui.Messages.size(), 1u);

  editor.Select(8, 3);
  EXPECT_EQ(editor::ReplaceAllFromSelection(editor, world, "<\xEC\xE8\xF0>"), 3u);
  EXPECT_EQ(editor.Text(),
            "\xCF\xF0\xE8\xE2\xE5\xF2, <\xEC\xE8\xF0>\r\n<\xEC\xE8\xF0>\n-\r<\xEC\xE8\xF0>!");
  this->ExpectSelection(28, 0, "");
  editor.Undo();
  EXPECT_EQ(editor.Text(), kHelloWorld1251 + "\r\n\xEC\xE8\xF0\n-\r\xEC\xE8\xF0!");
}

// --- What only the QScintilla adapter does.

class QsciTextEditorTest : public ::testing::Test {
 protected:
  QsciTextEditorTest() : editor_(widget_, 1251) {
    app::ui::SetUpResultEditor(widget_);
    widget_.resize(640, 480);
    widget_.show();
  }

  // The widget's whole text (QsciScintilla::text() stops at a NUL).
  QString Shown() const {
    const auto* text =
        static_cast<const char*>(widget_.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return QString::fromUtf8(text, widget_.SendScintilla(Sci::SCI_GETLENGTH));
  }
  QString ShownSelection() const { return widget_.selectedText(); }
  // Selects by the widget's own (UTF-8) positions, as a user's mouse does.
  void SelectInWidget(long anchor, long caret) {
    widget_.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
  }
  void TypeInWidget(const char* utf8) { widget_.SendScintilla(Sci::SCI_REPLACESEL, utf8); }

  QsciScintilla widget_;
  app::ui::QsciTextEditor editor_;
};

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

TEST_F(QsciTextEditorTest, ShowsWindows1251AsCyrillicAndGivesEveryByteBack) {
  const std::string bytes = AllBytes();
  editor_.Load(bytes);
  EXPECT_EQ(editor_.Text(), bytes);
  EXPECT_EQ(editor_.Lines(), app::SplitLines(bytes));
  QString cyrillic;
  for (char16_t c = u'А'; c <= u'я'; ++c) cyrillic.append(QChar(c));
  // One character a byte: the widget's characters line up with the bytes.
  ASSERT_EQ(Shown().size(), 256);
  EXPECT_EQ(Shown().mid(0xC0), cyrillic);
  EXPECT_EQ(Shown()[0xA8], QChar(u'Ё'));
  EXPECT_EQ(Shown()[0xB9], QChar(u'№'));
  EXPECT_EQ(Shown()[0x98], QChar(0xF798)) << "undefined in windows-1251";

  // Offsets stay byte offsets across the whole range, 0x98 (undefined in 1251) included.
  for (const size_t at : {0x41u, 0x98u, 0xA8u, 0xC0u, 0xFEu}) {
    editor_.Select(at, 2);
    EXPECT_EQ(editor_.SelectedText(), bytes.substr(at, 2)) << at;
    EXPECT_EQ(editor_.SelectionStart(), at);
  }
}

TEST_F(QsciTextEditorTest, SelectionOffsetsCountCharactersOfCyrillicText) {
  editor_.Load(kHelloWorld1251 + "\r\n" + kHelloWorld1251);
  EXPECT_EQ(Shown(), QStringLiteral("Привет, мир\r\nПривет, мир"));

  editor_.Select(8, 3);
  EXPECT_EQ(ShownSelection(), QStringLiteral("мир"));
  editor_.Select(18, 6);
  EXPECT_EQ(ShownSelection(), QStringLiteral("т, мир"));

  // "Привет, " is 14 bytes of UTF-8 in the widget, 8 bytes for the core.
  SelectInWidget(14, 20);
  EXPECT_EQ(editor_.SelectionStart(), 8u);
  EXPECT_EQ(editor_.SelectionLength(), 3u);
  EXPECT_EQ(editor_.SelectedText(), "\xEC\xE8\xF0");
  SelectInWidget(42, 14);  // a backward selection into the second line
  EXPECT_EQ(editor_.SelectionStart(), 8u);
  EXPECT_EQ(editor_.SelectionLength(), 16u);

  editor_.Select(8, 3);
  editor_.ReplaceSelection("\xE2\xF1\xE5\xEC");  // "всем"
  EXPECT_EQ(Shown(), QStringLiteral("Привет, всем\r\nПривет, мир"));
  EXPECT_EQ(editor_.SelectionStart(), 12u);
}

TEST_F(QsciTextEditorTest, ACodePageChangeRedrawsTheSameBytes) {
  const std::string bytes = kHelloWorld1251 + "\r\n\x98\xC0";
  editor_.Load(bytes);
  editor_.SetText(bytes + "!");
  editor_.Select(8, 3);
  ASSERT_TRUE(editor_.CanUndo());

  editor_.SetCodePage(1252);
  EXPECT_EQ(editor_.CodePage(), 1252);
  EXPECT_EQ(editor_.Text(), bytes + "!");
  EXPECT_TRUE(Shown().startsWith(QStringLiteral("Ïðèâåò, ìèð\r\n˜À"))) << Shown().toStdString();
  EXPECT_EQ(editor_.SelectionStart(), 8u);
  EXPECT_EQ(editor_.SelectionLength(), 3u);
  EXPECT_EQ(ShownSelection(), QStringLiteral("ìèð"));
  EXPECT_FALSE(editor_.CanUndo()) << "steps of the old decoding are gone";

  editor_.SetText(bytes);
  editor_.SetCodePage(1252);  // the same code page again: nothing happens
  EXPECT_TRUE(editor_.CanUndo());

  editor_.SetCodePage(1251);
  EXPECT_EQ(Shown(), QStringLiteral("Привет, мир\r\n\uF798А"));
  EXPECT_EQ(editor_.Text(), bytes);

  editor_.SetCodePage(4242);  // an unknown number reads as 1252
  EXPECT_EQ(editor_.CodePage(), 1252);
  EXPECT_EQ(editor_.Text(), bytes);
}

TEST_F(QsciTextEditorTest, ACharacterTheCodePageLacksIsItsReferenceForTheCore) {
  editor_.Load("a\xE0z");
  SelectInWidget(1, 1);
  TypeInWidget("中");  // between "a" and "а"
  EXPECT_EQ(Shown(), QStringLiteral("a中аz"));
  EXPECT_EQ(editor_.SelectionStart(), 9u);
  EXPECT_EQ(editor_.Text(), "a&#20013;\xE0z");
  editor_.Select(9, 1);
  EXPECT_EQ(ShownSelection(), QStringLiteral("а"));
  editor_.Select(3, 2);  // inside the reference: the character is all there is to select
  EXPECT_EQ(ShownSelection(), QStringLiteral("中"));
  EXPECT_EQ(editor_.SelectedText(), "&#20013;");

  ASSERT_TRUE(editor_.CanUndo());
  editor_.Undo();
  EXPECT_EQ(editor_.Text(), "a\xE0z");
  editor_.Select(1, 1);
  EXPECT_EQ(ShownSelection(), QStringLiteral("а"));

  widget_.redo();  // the character is back, though no one typed it
  editor_.Select(9, 1);
  EXPECT_EQ(ShownSelection(), QStringLiteral("а"));
  EXPECT_EQ(editor_.Text(), "a&#20013;\xE0z");
}

TEST_F(QsciTextEditorTest, MultiByteCodePagesKeepBytesAndSelectWholeCharacters) {
  struct Case {
    int CodePage;
    std::string Text;  // "a", a two-byte character, "b", another
    QString Shown;
  } cases[] = {
      {932,
       "a\x82\xA0"
       "b\x88\x9F",
       QStringLiteral("aあb亜")},
      {936,
       "a\xB0\xA1"
       "b\xD6\xD0",
       QStringLiteral("a啊b中")},
      {949,
       "a\xB0\xA1"
       "b\xC7\xD1",
       QStringLiteral("a가b한")},
      {950,
       "a\xA4\x40"
       "b\xA4\xA4",
       QStringLiteral("a一b中")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.CodePage);
    editor_.SetCodePage(c.CodePage);
    editor_.Load(c.Text);
    EXPECT_EQ(Shown(), c.Shown);
    EXPECT_EQ(editor_.Text(), c.Text);

    editor_.Select(1, 2);
    EXPECT_EQ(ShownSelection(), c.Shown.mid(1, 1));
    editor_.Select(2, 3);  // from inside the first to inside the second
    EXPECT_EQ(editor_.SelectionStart(), 1u);
    EXPECT_EQ(editor_.SelectionLength(), 5u);
    EXPECT_EQ(editor_.SelectedText(), c.Text.substr(1));
    SelectInWidget(5, 8);
    EXPECT_EQ(editor_.SelectionStart(), 4u);
    EXPECT_EQ(editor_.SelectionLength(), 2u);
    editor_.Select(4, 2);
    editor_.ReplaceSelection(c.Text.substr(1, 2) + "\r\n");
    EXPECT_EQ(editor_.Text(), c.Text.substr(0, 4) + c.Text.substr(1, 2) + "\r\n");
    EXPECT_EQ(editor_.SelectionStart(), 8u);

    // Every high byte alone (lead bytes without their trail, undefined bytes) comes back.
    std::string lone;
    for (int b = 0x80; b < 0x100; ++b) lone += std::string(1, static_cast<char>(b)) + "\n";
    editor_.Load(lone);
    EXPECT_EQ(editor_.Text(), lone);
    editor_.Select(2 * 0x7F, 1);
    EXPECT_EQ(editor_.SelectedText(), "\xFF");
  }
}

TEST_F(QsciTextEditorTest, WordWrapOutlivesLoadsAndBigReplacements) {
  ASSERT_EQ(widget_.wrapMode(), QsciScintilla::WrapWord);
  std::string big;
  while (big.size() < 200 * 1024) big += "<p>" + kHelloWorld1251 + "</p>\r\n";
  editor_.Load(big);
  EXPECT_EQ(widget_.wrapMode(), QsciScintilla::WrapWord);
  editor_.Select(0, big.size());
  editor_.ReplaceSelection(big + big);
  EXPECT_EQ(widget_.wrapMode(), QsciScintilla::WrapWord);
  EXPECT_EQ(editor_.SelectionStart(), 2 * big.size());
  editor_.SetText("x");
  EXPECT_EQ(widget_.wrapMode(), QsciScintilla::WrapWord);
}

TEST_F(QsciTextEditorTest, ALineTypedInTheWidgetGetsTheStyleLineBreak) {
  for (const auto& [style, expected] :
       {std::pair{LineBreak::Lf, "a\nb"}, std::pair{LineBreak::Cr, "a\rb"},
        std::pair{LineBreak::CrLf, "a\r\nb"}}) {
    editor_.Load("ab");
    editor_.SetLineBreakStyle(style);
    SelectInWidget(1, 1);
    widget_.SendScintilla(Sci::SCI_NEWLINE);
    EXPECT_EQ(editor_.Text(), expected);
  }
}

TEST(EditorSetupTest, GivesEachEditorItsLexerAndKeepsTheText) {
  QsciScintilla source;
  QsciScintilla result;
  app::ui::QsciTextEditor sourceEditor(source, 1251);
  sourceEditor.Load("<p>x</p>");
  sourceEditor.SetText("<p>y</p>");
  app::ui::SetUpSourceEditor(source);
  app::ui::SetUpResultEditor(result);
  EXPECT_STREQ(source.lexer()->language(), "HTML");
  EXPECT_STREQ(result.lexer()->language(), "XML");
  EXPECT_EQ(sourceEditor.Text(), "<p>y</p>");
  EXPECT_TRUE(sourceEditor.CanUndo());
  EXPECT_NE(source.lexer()->color(QsciLexerHTML::HTMLComment),
            result.lexer()->color(QsciLexerHTML::HTMLComment));
  for (QsciScintilla* editor : {&source, &result}) {
    EXPECT_EQ(editor->wrapMode(), QsciScintilla::WrapWord);
    EXPECT_TRUE(editor->isUtf8());
  }
}

}  // namespace
