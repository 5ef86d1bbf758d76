// The find and the replace dialog driven through the main window: finding up to "The End",
// replacing one and all, the search text shared by the two dialogs and kept for the run, the
// editors' code page in the fields, nothing on pages without an editor, and windows that leave
// the main window usable.

#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <string>
#include <vector>

#include "app/Session.h"
#include "editor/ui/FindDialog.h"
#include "editor/ui/ReplaceDialog.h"
#include "ui/support/ProgramFixture.h"

namespace {

using testsupport::ProgramFixture;
using Dialog = app::Session::SearchDialog;

const char kTheEnd[] = "              The End              ";

// Three "abc": at 0, at 7 (after a line break, counted as two) and at 11.
const char kText[] = "abc x\r\nabc abc.\r\n";

// A shown main window holding kText in the source editor, caret at the start.
class FindReplaceTest : public ::testing::Test {
 protected:
  FindReplaceTest() {
    f.Show();
    f.Session().SourceEditor().Load(kText);
    f.Session().SourceEditor().Select(0, 0);
  }

  QDialog& Find() { return *f.Window().findChild<editor::ui::FindDialog*>("FFind"); }
  QDialog& Replace() { return *f.Window().findChild<editor::ui::ReplaceDialog*>("FReplace"); }
  static QLineEdit& Field(QDialog& dialog, const char* name = "SearchText") {
    return *dialog.findChild<QLineEdit*>(name);
  }
  static QPushButton& Button(QDialog& dialog, const char* name) {
    return *dialog.findChild<QPushButton*>(name);
  }
  static void Press(QDialog& dialog, const char* name) {
    QTest::mouseClick(&Button(dialog, name), Qt::LeftButton);
    testsupport::ProcessEvents();
  }
  // The user replaces a field's text by typing, character by character.
  static void Type(QLineEdit& field, const QString& text) {
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Delete);
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, &field, Qt::Key_unknown, QString(c), {});
  }
  // Enter in a control that has the focus.
  static void Enter(QWidget& widget) {
    QApplication::setActiveWindow(widget.window());
    widget.setFocus();
    QTest::keyClick(&widget, Qt::Key_Return);
    testsupport::ProcessEvents();
  }

  // The source editor's selection as {start, length}.
  std::vector<size_t> Selection() {
    return {f.Session().SourceEditor().SelectionStart(),
            f.Session().SourceEditor().SelectionLength()};
  }
  QStringList Messages() { return f.Dialogs().MessageTexts(); }

  ProgramFixture f;
};

TEST_F(FindReplaceTest, FindGoesForwardOccurrenceByOccurrenceUntilTheEnd) {
  f.Trigger("Act_Find");
  ASSERT_TRUE(Find().isVisible());
  EXPECT_EQ(Find().windowTitle(), "Find");
  EXPECT_EQ(Find().focusWidget(), &Field(Find()));
  Type(Field(Find()), "abc");
  Enter(Field(Find()));  // Enter in the search field presses "&Find"
  EXPECT_EQ(Selection(), (std::vector<size_t>{0, 3}));
  Press(Find(), "ButFind");
  EXPECT_EQ(Selection(), (std::vector<size_t>{7, 3}));
  Press(Find(), "ButFind");
  EXPECT_EQ(Selection(), (std::vector<size_t>{11, 3}));
  EXPECT_TRUE(Messages().isEmpty());

  Press(Find(), "ButFind");
  EXPECT_EQ(Messages(), QStringList{kTheEnd});
  EXPECT_EQ(Selection(), (std::vector<size_t>{11, 3}));  // never wraps around
  EXPECT_TRUE(Find().isVisible());

  // "Search Again" from the main window goes on with the dialog's text.
  f.Session().SourceEditor().Select(2, 0);
  f.Trigger("Act_FindNext");
  EXPECT_EQ(Selection(), (std::vector<size_t>{7, 3}));
}

TEST_F(FindReplaceTest, CaseMattersAndAnEmptySearchTextFindsNothing) {
  f.Trigger("Act_Find");
  Type(Field(Find()), "ABC");
  Press(Find(), "ButFind");
  EXPECT_EQ(Messages(), QStringList{kTheEnd});
  EXPECT_EQ(Selection(), (std::vector<size_t>{0, 0}));

  Type(Field(Find()), "");
  Press(Find(), "ButFind");
  EXPECT_EQ(Messages().size(), 1);
}

TEST_F(FindReplaceTest, TextTypedInTheFindFieldIsWhatSearchAgainLooksFor) {
  f.Trigger("Act_Find");
  Type(Field(Find()), "abc.");
  f.Trigger("Act_FindNext");
  EXPECT_EQ(Selection(), (std::vector<size_t>{11, 4}));
  EXPECT_EQ(f.Session().SearchText(Dialog::Find), "abc.");
}

TEST_F(FindReplaceTest, ReplaceReplacesTheSelectedOccurrenceAndSelectsTheNext) {
  f.Session().SourceEditor().Select(0, 3);
  f.Trigger("Act_Replace");
  ASSERT_TRUE(Replace().isVisible());
  EXPECT_EQ(Replace().windowTitle(), "Replace");
  EXPECT_EQ(Field(Replace()).text(), "abc");  // the selection became the search text
  EXPECT_EQ(Replace().focusWidget(), &Field(Replace()));

  // Enter in the search field only moves on to the replacement field.
  Enter(Field(Replace()));
  EXPECT_EQ(Replace().focusWidget(), &Field(Replace(), "ReplacementText"));
  EXPECT_EQ(Selection(), (std::vector<size_t>{0, 3}));
  Type(Field(Replace(), "ReplacementText"), "XY");

  Press(Replace(), "ButReplace");
  EXPECT_EQ(f.Session().SourceEditor().Text(), "XY x\r\nabc abc.\r\n");
  EXPECT_EQ(Selection(), (std::vector<size_t>{6, 3}));
  // Enter in the replacement field presses "&Find": the next one is selected, nothing replaced.
  Enter(Field(Replace(), "ReplacementText"));
  EXPECT_EQ(Selection(), (std::vector<size_t>{10, 3}));
  Press(Replace(), "ButReplace");
  EXPECT_EQ(f.Session().SourceEditor().Text(), "XY x\r\nabc XY.\r\n");
  EXPECT_EQ(Messages(), QStringList{kTheEnd});
}

TEST_F(FindReplaceTest, AllReplacesFromTheSelectionOnSaysHowManyAndUndoesInOneStep) {
  f.Trigger("Act_Replace");
  Type(Field(Replace()), "abc");
  Type(Field(Replace(), "ReplacementText"), "abcabc");
  // Right after opening no occurrence is selected: nothing is replaced.
  Press(Replace(), "ButAll");
  EXPECT_EQ(Messages(), QStringList{"0 items replaced."});
  EXPECT_EQ(f.Session().SourceEditor().Text(), kText);

  Press(Replace(), "ButFind");
  Press(Replace(), "ButAll");
  EXPECT_EQ(Messages(), (QStringList{"0 items replaced.", "3 items replaced."}));
  EXPECT_EQ(f.Session().SourceEditor().Text(), "abcabc x\r\nabcabc abcabc.\r\n");
  f.Session().SourceEditor().Undo();
  EXPECT_EQ(f.Session().SourceEditor().Text(), kText);
}

TEST_F(FindReplaceTest, TheSearchTextFollowsFromOneDialogToTheOther) {
  f.Trigger("Act_Find");
  Type(Field(Find()), "x");
  Press(Find(), "ButFind");
  f.Trigger("Act_Replace");
  EXPECT_EQ(Field(Replace()).text(), "x");

  Type(Field(Replace()), "abc.");
  QTest::keyClick(&Field(Replace()), Qt::Key_Escape);  // Esc presses "&Close"
  testsupport::ProcessEvents();
  EXPECT_FALSE(Replace().isVisible());
  EXPECT_EQ(Field(Find()).text(), "abc.");
  EXPECT_EQ(f.Session().SearchText(Dialog::Find), "abc.");

  // Closed dialogs keep their texts for the next showing.
  Press(Find(), "ButClose");
  EXPECT_FALSE(Find().isVisible());
  f.Session().SourceEditor().Select(0, 0);  // a selection would become the search text
  f.Trigger("Act_Replace");
  EXPECT_EQ(Field(Replace()).text(), "abc.");
  EXPECT_EQ(Field(Replace(), "ReplacementText").text(), "");
  f.Trigger("Act_Find");
  EXPECT_EQ(Field(Find()).text(), "abc.");
  EXPECT_TRUE(Field(Find()).hasSelectedText());  // typing replaces it
}

TEST_F(FindReplaceTest, OnThePicturesPageTheOpenDialogsSearchAndReplaceNothing) {
  f.Trigger("Act_Find");
  Type(Field(Find()), "abc");
  f.Trigger("Act_Replace");
  Type(Field(Replace()), "abc");
  Type(Field(Replace(), "ReplacementText"), "Z");
  f.Session().SourceEditor().Select(0, 3);
  f.Window().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(2);  // "Images"
  testsupport::ProcessEvents();

  Press(Find(), "ButFind");
  for (const char* button : {"ButFind", "ButReplace", "ButAll"}) Press(Replace(), button);
  f.Trigger("Act_FindNext");
  EXPECT_EQ(f.Session().SourceEditor().Text(), kText);
  EXPECT_EQ(Selection(), (std::vector<size_t>{0, 3}));
  EXPECT_TRUE(Messages().isEmpty()) << Messages().join("|").toStdString();
}

TEST_F(FindReplaceTest, TheResultEditorIsSearchedOnTheFb2Page) {
  f.Session().ResultEditor().Load("<p>abc</p>");
  f.Window().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);  // "FB2"
  testsupport::ProcessEvents();
  f.Trigger("Act_Find");
  Type(Field(Find()), "abc");
  Press(Find(), "ButFind");
  EXPECT_EQ(f.Session().ResultEditor().SelectionStart(), 3u);
  EXPECT_EQ(f.Session().ResultEditor().SelectionLength(), 3u);
  EXPECT_EQ(Selection(), (std::vector<size_t>{0, 0}));
}

TEST_F(FindReplaceTest, TheDialogsStayOpenBesideAMainWindowThatStillTakesCommands) {
  f.Trigger("Act_Find");
  f.Trigger("Act_Replace");
  for (QDialog* dialog : {&Find(), &Replace()}) {
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->isWindow());
    EXPECT_EQ(dialog->parentWidget(), &f.Window());  // kept above the main window
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
  }
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  f.Trigger("Act_NewHTMLDoc");
  EXPECT_EQ(f.Session().SourceEditor().LineCount(), 0u);
  f.Session().SourceEditor().Load("one abc");
  Type(Field(Find()), "abc");
  Press(Find(), "ButFind");
  EXPECT_EQ(Selection(), (std::vector<size_t>{4, 3}));
}

TEST_F(FindReplaceTest, FieldsShowAndTakeTextInTheEditorsCodePage) {
  f.Session().SearchText(Dialog::Find) = "\xC1";  // Cyrillic "Б", Greek "Α"
  f.Trigger("Act_Find");
  EXPECT_EQ(Field(Find()).text(), QString::fromUtf8("Б"));

  auto* charsets = f.Window().findChild<QComboBox*>("Combo2");
  charsets->setCurrentIndex(7);  // GREEK_CHARSET: the open dialog follows
  emit charsets->activated(7);
  testsupport::ProcessEvents();
  EXPECT_EQ(Field(Find()).text(), QString::fromUtf8("Α"));
  EXPECT_EQ(f.Session().SearchText(Dialog::Find), "\xC1");

  f.Session().SourceEditor().Load("\xE1\xE2\xE3");  // αβγ
  Type(Field(Find()), QString::fromUtf8("β"));
  Press(Find(), "ButFind");
  EXPECT_EQ(f.Session().SearchText(Dialog::Find), "\xE2");
  EXPECT_EQ(Selection(), (std::vector<size_t>{1, 1}));
}

// The widgets Tab visits, in order, from the search field.
std::vector<std::string> TabOrder(QDialog& dialog) {
  std::vector<std::string> names;
  QWidget* first = dialog.focusWidget();
  names.push_back(first->objectName().toStdString());
  for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible() &&
        dialog.isAncestorOf(w))
      names.push_back(w->objectName().toStdString());
  }
  return names;
}

TEST_F(FindReplaceTest, EveryControlIsReachedWithTabAndCarriesItsCaption) {
  f.Trigger("Act_Find");
  f.Trigger("Act_Replace");
  EXPECT_EQ(TabOrder(Find()), (std::vector<std::string>{"SearchText", "ButFind", "ButClose"}));
  EXPECT_EQ(TabOrder(Replace()),
            (std::vector<std::string>{"SearchText", "ReplacementText", "ButFind", "ButReplace",
                                      "ButAll", "ButClose"}));
  const std::vector<std::pair<QDialog*, std::vector<const char*>>> captions = {
      {&Find(), {"ButFind", "&Find", "ButClose", "&Close"}},
      {&Replace(),
       {"ButFind", "&Find", "ButReplace", "&Replace", "ButAll", "&All", "ButClose", "&Close"}}};
  for (const auto& [dialog, pairs] : captions)
    for (size_t i = 0; i < pairs.size(); i += 2)
      EXPECT_EQ(Button(*dialog, pairs[i]).text(), pairs[i + 1]);
  // The "Origin" group is there for language files but never shown.
  EXPECT_FALSE(Find().findChild<QWidget*>("GroupBox1")->isVisible());
  EXPECT_FALSE(Replace().findChild<QWidget*>("GroupBox1")->isVisible());
}

}  // namespace
