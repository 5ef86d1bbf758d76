// Every command of the main window: caption, hints, shortcut and places as the program shows
// them, and that triggering it reaches the session.

#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <map>

#include "app/ui/HelpWindow.h"
#include "support/Xml.h"
#include "ui/support/ProgramFixture.h"

namespace {

using testsupport::ProgramFixture;
using Kind = testsupport::ScriptedDialogs::Kind;

// The widgets a command sits in, by their objectNames.
constexpr const char* kFile = "mm_File1";
constexpr const char* kEdit = "Edit1";
constexpr const char* kHelp = "mm_Help1";
constexpr const char* kHidden = "Unvisible1";
constexpr const char* kSourceBar = "SourceToolBar";
constexpr const char* kFb2Bar = "Fb2ToolBar";
constexpr const char* kUpperBar = "ImagesUpperToolBar";
constexpr const char* kLowerBar = "ImagesLowerToolBar";
constexpr const char* kSettingsBar = "SettingsToolBar";
constexpr const char* kPopups = "both pop-up menus";
constexpr const char* kResultPopup = "result pop-up menu";

struct CommandCase {
  const char* Name;
  const char* Caption;
  const char* ToolTip;
  const char* Shortcut;
  std::vector<const char*> Places;
  // Triggers the command in a fresh program and checks what reached the session.
  std::function<void(ProgramFixture&)> Effect;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
  *os << c.Name;
}

const char kSourceText[] = "<html><body><p>Hello world</p></body></html>\r\n";

void WithSource(ProgramFixture& f, std::string_view text = kSourceText) {
  f.Session().SourceEditor().Load(text);
}

void WithResult(ProgramFixture& f, std::string_view text) {
  f.Session().ResultEditor().Load(text);
}

// The last file dialog asked, which must exist.
const testsupport::ScriptedDialogs::Asked& LastDialog(ProgramFixture& f) {
  EXPECT_FALSE(f.Dialogs().Dialogs.empty());
  static const testsupport::ScriptedDialogs::Asked none{};
  return f.Dialogs().Dialogs.empty() ? none : f.Dialogs().Dialogs.back();
}

void ExpectAsked(ProgramFixture& f, Kind kind, const char* title) {
  const auto& asked = LastDialog(f);
  EXPECT_EQ(asked.DialogKind, kind);
  EXPECT_EQ(asked.Title, title);
}

// The tag commands put their markup around the result editor's selection.
std::function<void(ProgramFixture&)> Wraps(const char* name, const char* expected) {
  return [name, expected](ProgramFixture& f) {
    WithResult(f, "x");
    f.Session().ResultEditor().Select(0, 1);
    f.Trigger(name);
    EXPECT_EQ(f.Session().ResultEditor().Text(), expected);
  };
}

// A modal window of a command is closed as soon as it shows; its class is returned.
QString TriggerModal(ProgramFixture& f, const char* name) {
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      shown = modal->windowTitle();
      modal->close();
    }
  });
  f.Trigger(name);
  return shown;
}

// An editing command acts on the focused text control.
std::function<void(ProgramFixture&)> EditsFocused(const char* name,
                                                  std::function<void(QsciScintilla&)> check) {
  return [name, check](ProgramFixture& f) {
    f.Show();
    QsciScintilla& editor = f.Window().SourceEditorWidget();
    WithSource(f, "abc");
    f.Session().SourceEditor().Select(1, 1);
    QApplication::setActiveWindow(&f.Window());
    editor.setFocus();
    testsupport::ProcessEvents();
    f.Trigger(name);
    check(editor);
  };
}

const std::vector<CommandCase>& Cases() {
  static const std::vector<CommandCase> cases = {
      {"Act_NewHTMLDoc",
       "New",
       "New",
       "Ctrl+N",
       {kFile, kSourceBar},
       [](ProgramFixture& f) {
         WithSource(f);
         f.Trigger("Act_NewHTMLDoc");
         EXPECT_EQ(f.Session().SourceEditor().LineCount(), 0u);
       }},
      {"Act_OpenSource",
       "Open...",
       "Open...",
       "Ctrl+O",
       {kFile, kSourceBar},
       [](ProgramFixture& f) {
         f.Trigger("Act_OpenSource");
         ExpectAsked(f, Kind::Open, "Open html file");
       }},
      {"Act_SaveSourceHTML",
       "Save source HTML",
       "Save source HTML",
       "",
       {kFile, kSourceBar},
       [](ProgramFixture& f) {
         WithSource(f);
         f.Trigger("Act_SaveSourceHTML");
         EXPECT_EQ(LastDialog(f).DialogKind, Kind::Save);
       }},
      {"Act_SaveSourceHTMLAs",
       "Save source HTML As...",
       "Save source HTML As...",
       "",
       {kFile},
       [](ProgramFixture& f) {
         WithSource(f);
         f.Trigger("Act_SaveSourceHTMLAs");
         EXPECT_EQ(LastDialog(f).DialogKind, Kind::Save);
       }},
      {"Act_Convert",
       "Convert",
       "Convert",
       "F9",
       {kFile, kSourceBar, kFb2Bar, kSettingsBar},
       [](ProgramFixture& f) {
         // An empty source editor asks for a source first; cancelling ends the command.
         f.Trigger("Act_Convert");
         ExpectAsked(f, Kind::Open, "Open html file");
         EXPECT_EQ(f.Dialogs().Dialogs.size(), 1u);
       }},
      {"Act_NewFB2Doc",
       "New",
       "New",
       "",
       {kFile, kFb2Bar},
       [](ProgramFixture& f) {
         WithResult(f, "<FictionBook/>");
         f.Trigger("Act_NewFB2Doc");
         EXPECT_EQ(f.Session().ResultEditor().LineCount(), 0u);
       }},
      {"Act_openFB2",
       "Open FB2 file...",
       "Open FB2 file...",
       "",
       {kFile, kFb2Bar},
       [](ProgramFixture& f) {
         f.Trigger("Act_openFB2");
         EXPECT_EQ(LastDialog(f).DialogKind, Kind::Open);
         EXPECT_TRUE(LastDialog(f).Filters.join(";").contains("*.fb2"));
       }},
      {"Act_SaveResult",
       "Save FB2",
       "Save FB2",
       "Ctrl+S",
       {kFile, kFb2Bar},
       [](ProgramFixture& f) {
         WithResult(f, "<FictionBook/>");
         f.Trigger("Act_SaveResult");
         EXPECT_EQ(LastDialog(f).DialogKind, Kind::Save);
       }},
      {"Act_SaveResultAs",
       "Save FB2 as...",
       "Save FB2 as...",
       "",
       {kFile},
       [](ProgramFixture& f) {
         WithResult(f, "<FictionBook/>");
         f.Trigger("Act_SaveResultAs");
         EXPECT_EQ(LastDialog(f).DialogKind, Kind::Save);
       }},
      {"Act_BatchWindow",
       "Batch conversion...",
       "Batch conversion...",
       "",
       {kFile},
       [](ProgramFixture& f) { EXPECT_EQ(TriggerModal(f, "Act_BatchWindow"), "Batch"); }},
      {"Act_Exit",
       "Exit",
       "Exit",
       "",
       {kFile},
       [](ProgramFixture& f) {
         f.Show();
         f.Trigger("Act_Exit");
         EXPECT_FALSE(f.Window().isVisible());
         EXPECT_FALSE(testsupport::ReadFile(f.SettingsPath()).empty());  // saved on close
       }},
      {"EditUndo1",
       "&Undo",
       "Undo",
       "Ctrl+Z",
       {kEdit},
       EditsFocused("EditUndo1",
                    [](QsciScintilla& editor) {
                      // Loading forgets the history: nothing to undo, the text stays.
                      EXPECT_EQ(editor.text(), "abc");
                    })},
      {"EditCut1",
       "C&ut",
       "Cut",
       "Ctrl+X",
       {kEdit, kPopups},
       EditsFocused("EditCut1", [](QsciScintilla& editor) { EXPECT_EQ(editor.text(), "ac"); })},
      {"EditCopy1",
       "&Copy",
       "Copy",
       "Ctrl+C",
       {kEdit, kPopups},
       EditsFocused("EditCopy1",
                    [](QsciScintilla&) { EXPECT_EQ(QApplication::clipboard()->text(), "b"); })},
      {"EditPaste1",
       "&Paste",
       "Paste",
       "Ctrl+V",
       {kEdit, kPopups},
       [](ProgramFixture& f) {
         QApplication::clipboard()->setText("Z");
         EditsFocused("EditPaste1",
                      [](QsciScintilla& editor) { EXPECT_EQ(editor.text(), "aZc"); })(f);
       }},
      {"EditDelete1",
       "&Delete",
       "Delete",
       "",
       {kEdit, kPopups},
       EditsFocused("EditDelete1", [](QsciScintilla& editor) { EXPECT_EQ(editor.text(), "ac"); })},
      {"EditSelectAll1",
       "Select &All",
       "Select All",
       "Ctrl+A",
       {kEdit, kPopups},
       EditsFocused("EditSelectAll1",
                    [](QsciScintilla& editor) { EXPECT_EQ(editor.selectedText(), "abc"); })},
      {"Act_Find",
       "Find...",
       "Find...",
       "Ctrl+F",
       {kEdit, kSourceBar, kFb2Bar},
       [](ProgramFixture& f) {
         WithSource(f);
         f.Session().SourceEditor().Select(15, 5);
         f.Trigger("Act_Find");
         EXPECT_EQ(f.Session().SearchText(app::Session::SearchDialog::Find), "Hello");
       }},
      {"Act_FindNext",
       "Search Again",
       "Search Again",
       "F3",
       {kEdit},
       [](ProgramFixture& f) {
         WithSource(f);
         f.Session().SearchText(app::Session::SearchDialog::Find) = "world";
         f.Trigger("Act_FindNext");
         EXPECT_EQ(f.Session().SourceEditor().SelectedText(), "world");
       }},
      {"Act_Replace",
       "Replace...",
       "Replace...",
       "Ctrl+R",
       {kEdit, kSourceBar, kFb2Bar},
       [](ProgramFixture& f) {
         WithSource(f);
         f.Session().SourceEditor().Select(21, 5);
         f.Trigger("Act_Replace");
         EXPECT_EQ(f.Session().SearchText(app::Session::SearchDialog::Replace), "world");
       }},
      {"Act_ShowHelpBox",
       "Help...",
       "Help...",
       "F1",
       {kHelp},
       [](ProgramFixture& f) { EXPECT_EQ(TriggerModal(f, "Act_ShowHelpBox"), "Help"); }},
      {"mm_About1",
       "About...",
       "About...",
       "",
       {kHelp},
       [](ProgramFixture& f) { EXPECT_EQ(TriggerModal(f, "mm_About1"), "About"); }},
      {"Act_ConvertTable",
       "Convert table",
       "Convert table",
       "F6",
       {kSourceBar},
       [](ProgramFixture& f) {
         WithSource(f, "<table><tr><td>a</td></tr></table>");
         f.Session().SourceEditor().Select(0, 34);
         f.Trigger("Act_ConvertTable");
         EXPECT_EQ(f.Session().Document().TablePictureCount, 1);
       }},
      {"Act_ansi2utf",
       "Convert text to utf8",
       "Convert text to utf8",
       "",
       {kSourceBar},
       [](ProgramFixture& f) {
         WithSource(f, "\xC0");  // windows-1251 "А"
         f.Trigger("Act_ansi2utf");
         EXPECT_EQ(f.Session().SourceEditor().Text(), "\xD0\x90");
       }},
      {"Act_utf2ansi",
       "Convert text to ansi",
       "Convert text to ansi",
       "",
       {kSourceBar},
       [](ProgramFixture& f) {
         WithSource(f, "\xD0\x90");
         f.Trigger("Act_utf2ansi");
         EXPECT_EQ(f.Session().SourceEditor().Text(), "\xC0");
       }},
      {"Act_SaveAndView",
       "View FB2",
       "View FB2",
       "",
       {kFb2Bar},
       [](ProgramFixture& f) {
         // Nothing saved yet: the save dialog comes first.
         WithResult(f, "<FictionBook/>");
         f.Trigger("Act_SaveAndView");
         EXPECT_EQ(LastDialog(f).DialogKind, Kind::Save);
       }},
      {"Act_Validate",
       "Validate",
       "Validate",
       "",
       {kFb2Bar},
       [](ProgramFixture& f) {
         WithResult(f, "<FictionBook>\r\n<p>open\r\n</FictionBook>\r\n");
         f.Trigger("Act_Validate");
         EXPECT_TRUE(f.Window().StatusText(2).endsWith("problem") ||
                     f.Window().StatusText(2).endsWith("problems"))
             << f.Window().StatusText(2).toStdString();
       }},
      {"TBUtf",
       "utf-8",
       "utf-8",
       "",
       {kFb2Bar},
       [](ProgramFixture& f) {
         f.Trigger("TBUtf");
         EXPECT_TRUE(f.Session().Settings().UtfOutput);
         EXPECT_EQ(f.Window().StatusText(1), "utf-8");
       }},
      {"Act_p", "<p>...</p>", "<p>...</p>", "", {kFb2Bar}, Wraps("Act_p", "\r\n<p>x</p>\r\n")},
      {"Act_Epigraph",
       "<epigraph>...</epigraph>",
       "<epigraph>...</epigraph>",
       "",
       {kFb2Bar, kResultPopup},
       Wraps("Act_Epigraph", "<epigraph>x</epigraph>")},
      {"Act_Cite",
       "<cite>...</cite>",
       "<cite>...</cite>",
       "",
       {kFb2Bar, kResultPopup},
       Wraps("Act_Cite", "<cite>x</cite>")},
      {"Act_Author",
       "<text-author>...</text-author>",
       "<text-author>...</text-author>",
       "",
       {kFb2Bar, kResultPopup},
       Wraps("Act_Author", "<text-author>x</text-author>")},
      {"Act_poem",
       "<poem>...</poem>",
       "<poem>...</poem>",
       "",
       {kFb2Bar, kResultPopup},
       Wraps("Act_poem", "<poem>\r\nx\r\n</poem>")},
      {"Act_stanza",
       "<stanza>...</stanza>",
       "<stanza>...</stanza>",
       "",
       {kFb2Bar, kResultPopup},
       Wraps("Act_stanza", "<stanza>\r\nx</stanza>")},
      {"Act_v", "<v>...</v>", "<v>...</v>", "", {kFb2Bar, kResultPopup}, Wraps("Act_v", "x")},
      {"Act_strong",
       "<strong>...</strong>",
       "<strong>...</strong>",
       "",
       {kFb2Bar, kResultPopup},
       Wraps("Act_strong", "<strong>x</strong>")},
      {"Act_emphasis",
       "<emphasis>...</emphasis>",
       "<emphasis>...</emphasis>",
       "",
       {kFb2Bar, kResultPopup},
       Wraps("Act_emphasis", "<emphasis>x</emphasis>")},
      {"Act_EmptyLine",
       "<empty-line/>",
       "<empty-line/>",
       "",
       {kFb2Bar, kResultPopup},
       Wraps("Act_EmptyLine", "<empty-line/>")},
      {"Act_LoadImage",
       "Load picture",
       "Load picture",
       "",
       {kUpperBar},
       [](ProgramFixture& f) {
         f.Trigger("Act_LoadImage");
         EXPECT_EQ(LastDialog(f).DialogKind, Kind::Open);
         EXPECT_EQ(LastDialog(f).Filters.size(), 3);
       }},
      {"Act_Batch",
       "Load pictures",
       "Load pictures",
       "",
       {kUpperBar},
       [](ProgramFixture& f) { EXPECT_EQ(TriggerModal(f, "Act_Batch"), "Select Images"); }},
      {"Act_CopyToClip1",
       "Copy to clipboard",
       "Copy to clipboard",
       "",
       {kUpperBar},
       [](ProgramFixture& f) {
         f.Window().findChild<QPlainTextEdit*>("Memo1")->setPlainText("<image l:href=\"#a\"/>");
         f.Trigger("Act_CopyToClip1");
         EXPECT_EQ(QApplication::clipboard()->text(), "<image l:href=\"#a\"/>");
       }},
      {"Act_ClearMemo1",
       "Clear",
       "Clear",
       "",
       {kUpperBar},
       [](ProgramFixture& f) {
         auto* pane = f.Window().findChild<QPlainTextEdit*>("Memo1");
         pane->setPlainText("x");
         f.Trigger("Act_ClearMemo1");
         EXPECT_TRUE(pane->toPlainText().isEmpty());
       }},
      {"Act_CopyToClip2",
       "Copy to clipboard",
       "Copy to clipboard",
       "",
       {kLowerBar},
       [](ProgramFixture& f) {
         f.Window().findChild<QPlainTextEdit*>("Memo2")->setPlainText("<binary/>");
         f.Trigger("Act_CopyToClip2");
         EXPECT_EQ(QApplication::clipboard()->text(), "<binary/>");
       }},
      {"Act_ClearMemo2",
       "Clear",
       "Clear",
       "",
       {kLowerBar},
       [](ProgramFixture& f) {
         auto* pane = f.Window().findChild<QPlainTextEdit*>("Memo2");
         pane->setPlainText("x");
         f.Trigger("Act_ClearMemo2");
         EXPECT_TRUE(pane->toPlainText().isEmpty());
       }},
      {"Act_openOptions",
       "Load settings from file...",
       "Load settings from file...",
       "",
       {kSettingsBar},
       [](ProgramFixture& f) {
         f.Trigger("Act_openOptions");
         ExpectAsked(f, Kind::Open, "Open settings file");
       }},
      {"Act_SaveOption",
       "Save settings to file...",
       "Save settings to file...",
       "",
       {kSettingsBar},
       [](ProgramFixture& f) {
         f.Trigger("Act_SaveOption");
         ExpectAsked(f, Kind::Save, "Save settings");
       }},
      {"Act_Check",
       "",
       "",
       "Ctrl+U",
       {},
       [](ProgramFixture& f) {
         QAction* hidden = f.Window().findChild<QMenu*>(kHidden)->menuAction();
         EXPECT_FALSE(hidden->isVisible());
         f.Trigger("Act_Check");
         EXPECT_TRUE(hidden->isVisible());
       }},
      // Writes into the program's folder: run on a folder of its own in LanguageFiles_test.
      {"Recreate1",
       "Create Vellumor_eng.lng",
       "Create Vellumor_eng.lng",
       "",
       {kHidden},
       [](ProgramFixture&) {}},
  };
  return cases;
}

// The objectNames of the widgets holding `action`, pop-up menus by their place.
std::vector<std::string> PlacesOf(app::ui::MainWindow& window, QAction* action) {
  std::vector<std::string> places;
  const auto popupHas = [&](app::ui::Place place) {
    return window.PlaceWidget(place)->actions().contains(action);
  };
  for (const char* name : {kFile, kEdit, kHelp, kHidden}) {
    if (window.findChild<QMenu*>(name)->actions().contains(action)) places.emplace_back(name);
  }
  for (const char* name : {kSourceBar, kFb2Bar, kUpperBar, kLowerBar, kSettingsBar}) {
    if (window.findChild<QToolBar*>(name)->actions().contains(action)) places.emplace_back(name);
  }
  const bool source = popupHas(app::ui::Place::SourcePopup);
  const bool result = popupHas(app::ui::Place::ResultPopup);
  if (source && result) places.emplace_back(kPopups);
  if (!source && result) places.emplace_back(kResultPopup);
  if (source && !result) places.emplace_back("source pop-up menu");
  return places;
}

class MainWindowCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(MainWindowCommandTest, ShowsItsCaptionHintShortcutAndPlaces) {
  const CommandCase& c = GetParam();
  ProgramFixture f;
  QAction* action = f.Window().Command(c.Name);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->objectName(), c.Name);
  EXPECT_EQ(action->text(), c.Caption);
  EXPECT_EQ(action->toolTip(), c.ToolTip);
  EXPECT_EQ(action->shortcuts().size(), c.Shortcut[0] ? 1 : 0);
  EXPECT_EQ(action->shortcut(), QKeySequence(c.Shortcut));
  std::vector<std::string> expected(c.Places.begin(), c.Places.end());
  EXPECT_EQ(PlacesOf(f.Window(), action), expected);
}

TEST_P(MainWindowCommandTest, ReachesTheSession) {
  const CommandCase& c = GetParam();
  ProgramFixture f;
  if (!c.Effect) {
    // Commands of windows still to come are shown, but cannot be chosen yet.
    EXPECT_FALSE(f.Window().Command(c.Name)->isEnabled());
    return;
  }
  EXPECT_TRUE(f.Window().Command(c.Name)->isEnabled());
  c.Effect(f);
  // No command lets an error escape to the general error display here.
  for (const auto& message : f.Dialogs().Messages)
    ADD_FAILURE() << message.Caption.toStdString() << ": " << message.Text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, MainWindowCommandTest, ::testing::ValuesIn(Cases()),
                         [](const auto& test) { return std::string(test.param.Name); });

TEST(MainWindowCommands, ToolbarsAndMenusListTheirCommandsInOrder) {
  ProgramFixture f;
  const auto names = [](const QList<QAction*>& actions) {
    QStringList list;
    for (QAction* a : actions) list << (a->isSeparator() ? "|" : a->objectName());
    return list.join(' ');
  };
  EXPECT_EQ(names(f.Window().findChild<QToolBar*>(kSourceBar)->actions()),
            "Act_NewHTMLDoc Act_OpenSource Act_SaveSourceHTML | Act_ConvertTable | Act_Convert | "
            "Act_Find Act_Replace | Act_ansi2utf Act_utf2ansi");
  EXPECT_EQ(names(f.Window().findChild<QToolBar*>(kFb2Bar)->actions()),
            "Act_NewFB2Doc Act_openFB2 Act_SaveResult | Act_Convert | Act_SaveAndView "
            "Act_Validate | TBUtf | Act_Find Act_Replace | Act_p Act_Epigraph Act_Cite "
            "Act_Author Act_poem Act_stanza Act_v | Act_strong Act_emphasis | Act_EmptyLine");
  EXPECT_EQ(names(f.Window().findChild<QMenu*>(kFile)->actions()),
            "Act_NewHTMLDoc Act_OpenSource Act_SaveSourceHTML Act_SaveSourceHTMLAs | "
            "Act_Convert | Act_NewFB2Doc Act_openFB2 Act_SaveResult Act_SaveResultAs | "
            "Act_BatchWindow | Act_Exit");
  EXPECT_EQ(names(f.Window().findChild<QMenu*>(kEdit)->actions()),
            "EditUndo1 | EditCut1 EditCopy1 EditPaste1 EditDelete1 EditSelectAll1 | Act_Find "
            "Act_FindNext Act_Replace");
  EXPECT_EQ(names(f.Window().PlaceWidget(app::ui::Place::ResultPopup)->actions()),
            "EditCut1 EditCopy1 EditPaste1 EditDelete1 EditSelectAll1 | Act_Epigraph Act_Cite "
            "Act_Author Act_poem Act_stanza Act_v Act_strong Act_emphasis Act_EmptyLine");
  const QMenuBar* bar = f.Window().menuBar();
  EXPECT_EQ(names(bar->actions()).count(' ') + 1, 4);
}

TEST(MainWindowCommands, LongHintsOfTheEditingCommandsAreStatusTips) {
  ProgramFixture f;
  EXPECT_EQ(f.Window().Command("EditUndo1")->statusTip(), "Reverts the last action");
  EXPECT_EQ(f.Window().Command("EditCopy1")->statusTip(),
            "Copies the selection and puts it on the Clipboard");
  EXPECT_EQ(f.Window().Command("EditCut1")->statusTip(), "Cut");
  EXPECT_EQ(f.Window().Command("Act_Convert")->statusTip(), "Convert");
}

TEST(MainWindowCommands, EditorToolsDoNothingOnPagesWithoutAnEditor) {
  ProgramFixture f;
  f.Session().SourceEditor().Load(kSourceText);
  f.Session().SearchText(app::Session::SearchDialog::Find) = "world";
  f.Window().findChild<QTabWidget*>("PageControl1")->setCurrentIndex(3);  // "Settings"
  for (const char* name : {"Act_FindNext", "Act_Find", "Act_Replace"}) f.Trigger(name);
  EXPECT_EQ(f.Session().SourceEditor().SelectionLength(), 0u);
  EXPECT_TRUE(f.Dialogs().Messages.empty());
}

}  // namespace
