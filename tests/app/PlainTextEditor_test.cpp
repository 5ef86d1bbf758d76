#include "app/PlainTextEditor.h"

#include <gtest/gtest.h>

namespace {

using app::PlainTextEditor;

TEST(PlainTextEditorTest, LinesSplitAtEveryLineBreakStyle) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a", ""}},
      {"\r\r\n", {"", "", ""}},
      {"\n\r", {"", "", ""}},
      {"x\r", {"x", ""}},
      {"a\nb\rc\r\nd\n\ne f g h i j k\r\rl", {"a", "b", "c", "d", "", "e f g h i j k", "", "l"}},
  };
  for (const Case& c : cases) {
    PlainTextEditor editor(c.text);
    EXPECT_EQ(editor.Lines(), c.lines) << c.text;
    EXPECT_EQ(editor.LineCount(), c.lines.size()) << c.text;
  }
}

TEST(PlainTextEditorTest, EachReplacementIsOneUndoStepAndLoadForgetsHistory) {
  PlainTextEditor editor;
  editor.Load("hello world");
  EXPECT_FALSE(editor.CanUndo());
  editor.Select(6, 5);
  EXPECT_EQ(editor.SelectedText(), "world");
  editor.ReplaceSelection("there");
  EXPECT_EQ(editor.Text(), "hello there");
  EXPECT_EQ(editor.SelectionStart(), 11u);
  editor.SetText("x");
  editor.Undo();
  EXPECT_EQ(editor.Text(), "hello there");
  editor.Undo();
  EXPECT_EQ(editor.Text(), "hello world");
  EXPECT_EQ(editor.SelectedText(), "world");
  EXPECT_FALSE(editor.CanUndo());
}

// The line count is kept between changes: every change must count afresh.
TEST(PlainTextEditorTest, LineCountFollowsEveryChange) {
  PlainTextEditor editor("a\r\nb");
  EXPECT_EQ(editor.LineCount(), 2u);
  editor.Select(1, 0);
  editor.ReplaceSelection("\n\n");
  EXPECT_EQ(editor.LineCount(), 4u);
  editor.SetText("one");
  EXPECT_EQ(editor.LineCount(), 1u);
  editor.Undo();
  EXPECT_EQ(editor.LineCount(), 4u);
  editor.Load("x\ry\rz");
  EXPECT_EQ(editor.LineCount(), 3u);
  editor.Clear();
  EXPECT_EQ(editor.LineCount(), 0u);
  EXPECT_EQ(editor.Lines().size(), 0u);
}

TEST(PlainTextEditorTest, SelectionIsClampedToTheText) {
  PlainTextEditor editor("abc");
  editor.Select(2, 10);
  EXPECT_EQ(editor.SelectedText(), "c");
  editor.Select(10, 1);
  EXPECT_EQ(editor.SelectionLength(), 0u);
}

}  // namespace
