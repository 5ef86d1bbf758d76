#include "editor/FindReplace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlainTextEditor.h"
#include "support/FakeUserInterface.h"

namespace editor {
namespace {

struct FindCase {
  const char* Name;
  const char* Text;
  size_t SelStart;
  size_t SelLength;
  const char* Search;
  bool Found;
  size_t FoundAt;
};

TEST(FindInEditorTest, SearchesForwardFromTheSelection) {
  const FindCase cases[] = {
      {"caret inside the only occurrence", "xx abc yy", 4, 0, "abc", false, 0},
      {"the selected occurrence is skipped", "abc abc", 0, 3, "abc", true, 4},
      {"the last occurrence selected", "abc abc", 4, 3, "abc", false, 0},
      {"a selection differing from the text is searched", "xabcx", 1, 2, "abc", true, 1},
      {"from the caret", "abc abc abc", 5, 0, "abc", true, 8},
      {"letter case matters", "abc", 0, 0, "ABC", false, 0},
      {"across a line break", "a\r\nb a\r\nb", 1, 0, "a\r\nb", true, 5},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.Name);
    app::PlainTextEditor editor(c.Text);
    editor.Select(c.SelStart, c.SelLength);
    testsupport::FakeUserInterface ui;
    EXPECT_EQ(FindInEditor(editor, c.Search, false, ui), c.Found);
    if (c.Found) {
      EXPECT_EQ(editor.SelectionStart(), c.FoundAt);
      EXPECT_EQ(editor.SelectionLength(), std::string(c.Search).size());
      EXPECT_TRUE(ui.Messages.empty());
    } else {
      EXPECT_EQ(editor.SelectionStart(), c.SelStart);
      EXPECT_EQ(editor.SelectionLength(), c.SelLength);
      EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"              The End              "});
    }
    EXPECT_EQ(editor.Text(), c.Text);
  }
}

TEST(FindInEditorTest, QuietSearchShowsNoMessage) {
  app::PlainTextEditor editor("abc");
  testsupport::FakeUserInterface ui;
  EXPECT_FALSE(FindInEditor(editor, "zzz", true, ui));
  EXPECT_TRUE(ui.Messages.empty());
}

TEST(ReplaceSelectionTest, ReplacesOnlyAnExactSelection) {
  app::PlainTextEditor editor("abc abc");
  editor.Select(0, 2);
  EXPECT_FALSE(ReplaceSelectionIfEqual(editor, "abc", "x"));
  EXPECT_EQ(editor.Text(), "abc abc");
  editor.Select(4, 3);
  EXPECT_TRUE(ReplaceSelectionIfEqual(editor, "abc", "xy"));
  EXPECT_EQ(editor.Text(), "abc xy");
  EXPECT_EQ(editor.SelectionStart(), 6u);
  editor.Undo();
  EXPECT_EQ(editor.Text(), "abc abc");
}

// The replace-all loop as the commands describe it, one replacement and one search at a time.
size_t ReplaceAllStepByStep(app::TextEditor& editor, std::string_view text,
                            std::string_view replacement) {
  testsupport::FakeUserInterface ui;
  size_t count = 0;
  while (editor.SelectedText() == text) {
    editor.ReplaceSelection(replacement);
    ++count;
    FindInEditor(editor, text, true, ui);
  }
  return count;
}

struct ReplaceAllCase {
  const char* Text;
  size_t SelStart;
  size_t SelLength;
  const char* Search;
  const char* Replacement;
  size_t Count;
};

TEST(ReplaceAllTest, OnePassGivesWhatTheStepByStepLoopGives) {
  const ReplaceAllCase cases[] = {
      {"a b a c a", 4, 1, "a", "aa", 2},  // doubled from the selection on, exactly once
      {"a b a c a", 0, 0, "a", "x", 0},   // nothing selected: nothing replaced
      {"abab", 1, 2, "ab", "x", 0},       // a selection that is not an occurrence
      {"aaaaa", 0, 2, "aa", "a", 2},      // non-overlapping
      {"aaaa", 0, 2, "aa", "aaa", 2},     // replacement holds the search text
      {"x\r\ny\r\nx", 0, 1, "x", "", 2},  // to nothing
      {"ab", 0, 2, "ab", "cd", 1},
  };
  for (const ReplaceAllCase& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + " / " + c.Search);
    app::PlainTextEditor fast(c.Text), slow(c.Text);
    fast.Select(c.SelStart, c.SelLength);
    slow.Select(c.SelStart, c.SelLength);
    EXPECT_EQ(ReplaceAllFromSelection(fast, c.Search, c.Replacement), c.Count);
    EXPECT_EQ(ReplaceAllStepByStep(slow, c.Search, c.Replacement), c.Count);
    EXPECT_EQ(fast.Text(), slow.Text());
    EXPECT_EQ(fast.SelectionStart(), slow.SelectionStart());
    EXPECT_EQ(fast.SelectionLength(), slow.SelectionLength());
    if (c.Count > 0) {
      fast.Undo();
      EXPECT_EQ(fast.Text(), c.Text);
    }
  }
}

}  // namespace
}  // namespace editor
