#include "editor/TagInsertion.h"

#include <gtest/gtest.h>

#include <string>

#include "app/PlainTextEditor.h"
#include "support/Xml.h"

namespace editor {
namespace {

struct TagCase {
  Fb2Tag Tag;
  const char* Text;
  size_t SelStart;
  size_t SelLength;
  const char* Expected;
};

const TagCase kTagCases[] = {
    {Fb2Tag::P, "ab", 1, 0, "a\r\n<p></p>\r\nb"},
    {Fb2Tag::P, "xhelloy", 1, 5, "x\r\n<p>hello</p>\r\ny"},
    {Fb2Tag::Epigraph, "ab", 1, 0, "a<epigraph></epigraph>b"},
    {Fb2Tag::Epigraph, "<p>x</p>", 0, 8, "<epigraph><p>x</p></epigraph>"},
    {Fb2Tag::Cite, "q", 0, 1, "<cite>q</cite>"},
    {Fb2Tag::Author, "Poe", 0, 3, "<text-author>Poe</text-author>"},
    {Fb2Tag::Poem, "", 0, 0, "<poem>\r\n\r\n</poem>"},
    {Fb2Tag::Poem, "<p>l</p>", 0, 8, "<poem>\r\n<p>l</p>\r\n</poem>"},
    // Two paragraphs on their own lines: verses, and "</stanza>" right after the selection.
    {Fb2Tag::Stanza, "<p>one</p>\r\n<P>two</P>", 0, 22,
     "<stanza>\r\n<v>one</v>\r\n<v>two</v></stanza>"},
    // A paragraph with attributes keeps its opening tag; no verse tags where there is no p.
    {Fb2Tag::V, "<p class=\"x\">one</p> two", 0, 24, "<p class=\"x\">one</v> two"},
    {Fb2Tag::V, "<p>a</p><pre>b</pre>", 0, 20, "<v>a</v><pre>b</pre>"},
    {Fb2Tag::V, "plain", 0, 5, "plain"},
    {Fb2Tag::Strong, "abc", 1, 1, "a<strong>b</strong>c"},
    {Fb2Tag::Emphasis, "abc", 3, 0, "abc<emphasis></emphasis>"},
    {Fb2Tag::EmptyLine, "drop me", 0, 4, "<empty-line/> me"},
    {Fb2Tag::EmptyLine, "ab", 1, 0, "a<empty-line/>b"},
};

TEST(TagInsertionTest, EachCommandWrapsTheSelectionAsOneUndoStep) {
  for (const TagCase& c : kTagCases) {
    SCOPED_TRACE(std::string(Fb2TagCaption(c.Tag)) + " on \"" + c.Text + "\"");
    app::PlainTextEditor editor;
    editor.Load(c.Text);
    editor.Select(c.SelStart, c.SelLength);
    InsertFb2Tag(editor, c.Tag);
    EXPECT_EQ(editor.Text(), c.Expected);
    EXPECT_EQ(editor.SelectionLength(), 0u);
    EXPECT_EQ(editor.SelectionStart(), std::string(c.Expected).size() -
                                           (std::string(c.Text).size() - c.SelStart - c.SelLength));
    editor.Undo();
    EXPECT_EQ(editor.Text(), c.Text);
    EXPECT_FALSE(editor.CanUndo());
  }
}

TEST(TagInsertionTest, MarkedUpPoemIsWellFormed) {
  app::PlainTextEditor editor;
  editor.Load("<section><p>Line one</p>\r\n<p>Line two</p></section>");
  editor.Select(9, 32);
  InsertFb2Tag(editor, Fb2Tag::Stanza);
  editor.Select(9, editor.Text().size() - 9 - 10);
  InsertFb2Tag(editor, Fb2Tag::Poem);
  EXPECT_EQ(editor.Text(),
            "<section><poem>\r\n<stanza>\r\n<v>Line one</v>\r\n<v>Line two</v></stanza>\r\n"
            "</poem></section>");
  EXPECT_TRUE(testsupport::IsWellFormedFragment(editor.Text()));
}

TEST(TagInsertionTest, PopupMenuHasAllButTheParagraphCommand) {
  int inMenu = 0;
  for (Fb2Tag tag : kFb2Tags) inMenu += Fb2TagInPopupMenu(tag) ? 1 : 0;
  EXPECT_EQ(inMenu, 9);
  EXPECT_FALSE(Fb2TagInPopupMenu(Fb2Tag::P));
}

struct ReplaceCase {
  const char* Text;
  const char* Search;
  const char* Replacement;
  const char* Expected;
};

TEST(ReplaceAllTextTest, ReplacesLeftToRightWithoutOverlapOrRescan) {
  const ReplaceCase cases[] = {
      {"aaa", "aa", "b", "ba"},         {"a.a", "a", "aa", "aa.aa"}, {"abc", "", "x", "abc"},
      {"ABC abc", "abc", "x", "ABC x"}, {"xyz", "q", "r", "xyz"},    {"<p>", "<p>", "", ""},
  };
  for (const ReplaceCase& c : cases) {
    EXPECT_EQ(ReplaceAllText(c.Text, c.Search, c.Replacement), c.Expected)
        << c.Text << " / " << c.Search;
  }
}

}  // namespace
}  // namespace editor
