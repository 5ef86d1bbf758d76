#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace app {
namespace {

using Dialog = Session::SearchDialog;

const std::string kTheEnd = "              The End              ";
constexpr int kImagesPage = 2;
constexpr int kSettingsPage = 3;
constexpr int kCommonSettingsPage = 4;

class SessionEditingTest : public ::testing::Test {
 protected:
  SessionEditingTest() : session(ui, source, result, VELLUMOR_BIN_DIR, folder / "vellumor.ini") {}

  // Loads `text` into `editor` with [start, start + length) selected.
  static void LoadSelected(PlainTextEditor& editor, std::string_view text, size_t start,
                           size_t length) {
    editor.Load(text);
    editor.Select(start, length);
  }
  void ExpectSelection(const PlainTextEditor& editor, size_t start, size_t length) {
    EXPECT_EQ(editor.SelectionStart(), start);
    EXPECT_EQ(editor.SelectionLength(), length);
  }

  testsupport::TempFolder folder;
  testsupport::FakeUserInterface ui;
  PlainTextEditor source;
  PlainTextEditor result;
  Session session;
};

TEST_F(SessionEditingTest, ActiveEditorFollowsTheSelectedPage) {
  EXPECT_EQ(session.ActiveEditor(), &source);  // the program starts on "Source"
  const struct {
    int Page;
    TextEditor* Expected;
  } cases[] = {{Session::kFb2Page, &result},
               {kImagesPage, nullptr},
               {kSettingsPage, nullptr},
               {kCommonSettingsPage, nullptr},
               {Session::kSourcePage, &source}};
  for (const auto& c : cases) {
    session.PageSelected(c.Page);
    EXPECT_EQ(session.ActiveEditor(), c.Expected) << "page " << c.Page;
  }
  EXPECT_TRUE(ui.Pages.empty());  // selecting a tab is the window's own doing

  session.ShowPage(Session::kFb2Page);
  EXPECT_EQ(ui.Pages, std::vector<int>{Session::kFb2Page});
  EXPECT_EQ(session.ActiveEditor(), &result);
}

TEST_F(SessionEditingTest, ConversionShowsTheFb2PageAndSearchesGoThere) {
  source.Load("<html><body><p>needle</p></body></html>");
  ASSERT_TRUE(session.ConvertDocument().Ok);
  EXPECT_EQ(session.ActiveEditor(), &result);
  EXPECT_TRUE(testsupport::IsWellFormedXml(result.Text()));
  EXPECT_TRUE(session.FindNextInActiveEditor("needle", false));
  EXPECT_EQ(result.SelectedText(), "needle");
  ExpectSelection(source, 0, 0);
}

TEST_F(SessionEditingTest, FindGoesForwardAndReportsTheEnd) {
  LoadSelected(source, "abc x abc", 0, 0);
  session.SearchText(Dialog::Find) = "abc";
  session.FindDialogFind();
  ExpectSelection(source, 0, 3);
  session.FindDialogFind();  // the selected occurrence is skipped
  ExpectSelection(source, 6, 3);
  EXPECT_TRUE(ui.Messages.empty());
  session.FindDialogFind();  // never wraps around
  ExpectSelection(source, 6, 3);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kTheEnd});
  EXPECT_EQ(ui.Messages[0].Caption, "Vellumor");
}

TEST_F(SessionEditingTest, NothingHappensWithoutAnActiveEditor) {
  LoadSelected(source, "abc abc", 0, 3);
  LoadSelected(result, "abc abc", 0, 3);
  session.SearchText(Dialog::Find) = "zzz";
  session.SearchText(Dialog::Replace) = "abc";
  session.ReplacementText() = "x";
  session.PageSelected(kSettingsPage);

  session.ReplaceDialogFind();
  session.ReplaceDialogReplace();
  session.ReplaceDialogAll();
  session.FindDialogFind();
  session.Act_Find();
  session.Act_FindNext();
  session.Act_Replace();
  EXPECT_FALSE(session.FindNextInActiveEditor("abc", false));

  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(ui.FindDialogShown + ui.ReplaceDialogShown, 0);
  EXPECT_EQ(source.Text(), "abc abc");
  EXPECT_EQ(result.Text(), "abc abc");
  ExpectSelection(source, 0, 3);
  ExpectSelection(result, 0, 3);
  EXPECT_EQ(session.SearchText(Dialog::Find), "abc");  // the buttons still mirror
  EXPECT_EQ(session.SearchText(Dialog::Replace), "abc");
}

TEST_F(SessionEditingTest, MainWindowCommandsTakeTheSelectionAsSearchText) {
  session.PageSelected(Session::kFb2Page);
  LoadSelected(result, "ab ab ab", 0, 0);

  session.Act_FindNext();  // nothing to search for: the find dialog opens
  EXPECT_EQ(ui.FindDialogShown, 1);
  EXPECT_TRUE(ui.Messages.empty());

  result.Select(0, 2);
  session.Act_FindNext();
  EXPECT_EQ(session.SearchText(Dialog::Find), "ab");
  ExpectSelection(result, 3, 2);
  result.Select(6, 0);
  session.Act_FindNext();  // the field's text, searched from the caret
  ExpectSelection(result, 6, 2);
  session.Act_FindNext();
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kTheEnd});
  EXPECT_EQ(ui.FindDialogShown, 1);

  result.Select(1, 3);
  session.Act_Find();
  EXPECT_EQ(session.SearchText(Dialog::Find), "b a");
  EXPECT_EQ(ui.FindDialogShown, 2);
  session.Act_Replace();
  EXPECT_EQ(session.SearchText(Dialog::Replace), "b a");
  EXPECT_EQ(ui.ReplaceDialogShown, 1);

  result.Select(0, 0);  // without a selection the fields keep their texts
  session.Act_Find();
  session.Act_Replace();
  EXPECT_EQ(session.SearchText(Dialog::Find), "b a");
  EXPECT_EQ(session.SearchText(Dialog::Replace), "b a");
}

TEST_F(SessionEditingTest, ReplaceReplacesAnExactSelectionThenFindsTheNext) {
  LoadSelected(source, "abc ab abc", 0, 3);
  session.SearchText(Dialog::Replace) = "abc";
  session.ReplacementText() = "Z";

  session.ReplaceDialogReplace();
  EXPECT_EQ(source.Text(), "Z ab abc");
  ExpectSelection(source, 5, 3);
  source.Undo();
  EXPECT_EQ(source.Text(), "abc ab abc");

  LoadSelected(source, "abc ab abc", 4, 2);  // "ab" is not the search text: only a search
  session.ReplaceDialogReplace();
  EXPECT_EQ(source.Text(), "abc ab abc");
  ExpectSelection(source, 7, 3);
  session.ReplaceDialogReplace();  // the last one: replaced, then the end
  EXPECT_EQ(source.Text(), "abc ab Z");
  ExpectSelection(source, 8, 0);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kTheEnd});
}

TEST_F(SessionEditingTest, ReplaceAllCountsAndUndoesInOneStep) {
  const struct {
    const char* Text;
    size_t SelStart;
    size_t SelLength;
    const char* Search;
    const char* Replacement;
    const char* Expected;
    const char* Message;
  } cases[] = {
      {"a b a c a", 4, 1, "a", "aa", "a b aa c aa", "2 items replaced."},
      {"a b a c a", 0, 0, "a", "x", "a b a c a", "0 items replaced."},  // nothing selected
      {"abc\r\nabc", 0, 3, "abc", "<p>abc</p>", "<p>abc</p>\r\n<p>abc</p>", "2 items replaced."},
      {"ABC abc", 0, 3, "abc", "x", "ABC abc", "0 items replaced."},  // letter case matters
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + " / " + c.Search);
    ui.Messages.clear();
    LoadSelected(source, c.Text, c.SelStart, c.SelLength);
    session.SearchText(Dialog::Replace) = c.Search;
    session.ReplacementText() = c.Replacement;
    session.ReplaceDialogAll();
    EXPECT_EQ(source.Text(), c.Expected);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{c.Message});
    if (source.CanUndo()) {
      source.Undo();
      EXPECT_EQ(source.Text(), c.Text);
    }
    EXPECT_FALSE(source.CanUndo());
  }
}

TEST_F(SessionEditingTest, DialogsShareTheSearchText) {
  LoadSelected(source, "one two", 0, 0);
  session.SearchText(Dialog::Find) = "two";
  session.FindDialogFind();
  EXPECT_EQ(session.SearchText(Dialog::Replace), "two");
  ExpectSelection(source, 4, 3);

  session.SearchText(Dialog::Replace) = "one";
  session.ReplacementText() = "1";
  session.ReplaceDialogFind();
  EXPECT_EQ(session.SearchText(Dialog::Find), "one");

  session.SearchText(Dialog::Find) = "";  // an empty text is mirrored, and nothing is searched
  session.FindDialogFind();
  EXPECT_EQ(session.SearchText(Dialog::Replace), "");
  EXPECT_EQ(session.ReplacementText(), "1");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kTheEnd});  // from the "one" search
}

TEST_F(SessionEditingTest, TagCommandsWorkOnTheResultEditorAsOneUndoStep) {
  using Command = void (Session::*)();
  const struct {
    Command Run;
    const char* Expected;
  } cases[] = {
      {&Session::Act_p, "a\r\n<p><p>x</p></p>\r\nb"},
      {&Session::Act_Epigraph, "a<epigraph><p>x</p></epigraph>b"},
      {&Session::Act_Cite, "a<cite><p>x</p></cite>b"},
      {&Session::Act_Author, "a<text-author><p>x</p></text-author>b"},
      {&Session::Act_poem, "a<poem>\r\n<p>x</p>\r\n</poem>b"},
      {&Session::Act_stanza, "a<stanza>\r\n<v>x</v></stanza>b"},
      {&Session::Act_v, "a<v>x</v>b"},
      {&Session::Act_strong, "a<strong><p>x</p></strong>b"},
      {&Session::Act_emphasis, "a<emphasis><p>x</p></emphasis>b"},
      {&Session::Act_EmptyLine, "a<empty-line/>b"},
  };
  LoadSelected(source, "a<p>x</p>b", 1, 8);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    LoadSelected(result, "a<p>x</p>b", 1, 8);
    (session.*c.Run)();  // on the "Source" page: the tags still go to the result editor
    EXPECT_EQ(result.Text(), c.Expected);
    result.Undo();
    EXPECT_EQ(result.Text(), "a<p>x</p>b");
    EXPECT_FALSE(result.CanUndo());
  }
  EXPECT_EQ(source.Text(), "a<p>x</p>b");
  EXPECT_FALSE(source.CanUndo());
}

}  // namespace
}  // namespace app
