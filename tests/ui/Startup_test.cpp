// Start-up of the desktop program: the command-line file, the hidden menu, the caption rule,
// and the end-to-end road of one book compared with the command line.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <Qsci/qsciscintilla.h>

#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "support/Process.h"
#include "support/Xml.h"
#include "ui/support/ProgramFixture.h"

namespace {

using testsupport::ProgramFixture;
using Kind = testsupport::ScriptedDialogs::Kind;

const std::string kSample = std::string(VELLUMOR_SOURCE_DIR) + "/examples/sample.html";

// The book information the tests give: a fixed date and id make the output reproducible.
bool FixedBookInfo(fb2meta::BookInfo& info) {
  info.DocumentDate = info.DocumentDateText = "10.12.2026";
  info.DocumentId = "window-test";
  return true;
}

TEST(StartupTest, ACommandLineFileIsConvertedAndOfferedForSaving) {
  testsupport::TempFolder out;
  ProgramFixture f({kSample});
  f.Dialogs().BookAnswers.push_back(FixedBookInfo);
  f.Dialogs().SaveAnswers.push_back(QString::fromStdString(out / "book.fb2"));
  f.Show();

  ASSERT_EQ(f.Dialogs().Dialogs.size(), 1u) << "only the save dialog is asked";
  EXPECT_EQ(f.Dialogs().Dialogs[0].DialogKind, Kind::Save);
  EXPECT_TRUE(f.Dialogs().Dialogs[0].InitialPath.endsWith(".fb2"));
  EXPECT_EQ(f.Dialogs().BookDialogs, 1);
  EXPECT_TRUE(f.Dialogs().Messages.empty()) << f.Dialogs().MessageTexts().join("\n").toStdString();
  const std::string saved = testsupport::ReadFile(out / "book.fb2");
  EXPECT_TRUE(testsupport::IsWellFormedXml(saved));
  EXPECT_EQ(f.Window().findChild<QTabWidget*>("PageControl1")->currentIndex(), 1);  // "FB2"
  EXPECT_GT(f.Window().ResultEditorWidget().lines(), 10);
  EXPECT_TRUE(f.Session().Document().StartupFile.empty());  // used once
}

TEST(StartupTest, AMissingCommandLineFileOpensAnEmptyWindow) {
  ProgramFixture f({"/nonexistent/book.html"});
  f.Show();
  EXPECT_TRUE(f.Dialogs().Dialogs.empty());
  EXPECT_TRUE(f.Dialogs().Messages.empty());
  EXPECT_EQ(f.Session().SourceEditor().LineCount(), 0u);
  EXPECT_EQ(f.Window().windowTitle(), "Vellumor");
  EXPECT_EQ(f.Window().findChild<QTabWidget*>("PageControl1")->currentIndex(), 0);
}

// A FIFO stands for any file that cannot be read as a page: the window says so and goes on.
TEST(StartupTest, AnUnreadableCommandLineFileIsReportedNotFatal) {
  testsupport::TempFolder folder;
  const std::string book = folder / "pipe.html";
  ASSERT_EQ(mkfifo(book.c_str(), 0600), 0);
  ProgramFixture f({book});
  f.Show();
  ASSERT_EQ(f.Dialogs().Messages.size(), 1u);
  EXPECT_TRUE(f.Dialogs().Messages[0].Text.contains("pipe.html"));
  EXPECT_TRUE(f.Dialogs().Dialogs.empty());  // no save dialog for nothing
}

TEST(StartupTest, CtrlUTwiceReturnsTheMenuBarToItsFormerState) {
  ProgramFixture f;
  f.Show();
  QAction* hidden = f.Window().findChild<QMenu*>("Unvisible1")->menuAction();
  ASSERT_FALSE(hidden->isVisible());
  QTest::keyClick(&f.Window(), Qt::Key_U, Qt::ControlModifier);
  EXPECT_TRUE(hidden->isVisible());
  QTest::keyClick(&f.Window(), Qt::Key_U, Qt::ControlModifier);
  EXPECT_FALSE(hidden->isVisible());
}

TEST(StartupTest, TheCaptionFollowsTheSourceAndFb2PagesOnly) {
  ProgramFixture f;
  f.Show();
  f.Session().Document().SourceHtmlPath = "New";
  f.Session().Document().LastFb2Path = "/books/tale.fb2";
  auto* tabs = f.Window().findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(1);
  EXPECT_EQ(f.Window().windowTitle(), "Vellumor : /books/tale.fb2");
  for (int page : {2, 3, 4}) {
    tabs->setCurrentIndex(page);
    EXPECT_EQ(f.Window().windowTitle(), "Vellumor : /books/tale.fb2") << page;
  }
  tabs->setCurrentIndex(0);
  EXPECT_EQ(f.Window().windowTitle(), "Vellumor : New");
}

// One book through "Open..." and "Convert" saves the bytes the command line writes with the
// same answers.
TEST(EndToEndTest, OpenAndConvertSaveWhatTheCommandLineWrites) {
  testsupport::TempFolder out;
  ProgramFixture f;
  f.Show();
  f.Dialogs().OpenAnswers.push_back(QString::fromStdString(kSample));
  f.Trigger("Act_OpenSource");
  EXPECT_EQ(f.Window().windowTitle(), "Vellumor : New");
  EXPECT_EQ(f.Window().StatusText(0).toStdString(), kSample);
  f.Dialogs().BookAnswers.push_back(FixedBookInfo);
  f.Dialogs().SaveAnswers.push_back(QString::fromStdString(out / "window.fb2"));
  f.Trigger("Act_Convert");
  ASSERT_TRUE(f.Dialogs().Messages.empty()) << f.Dialogs().MessageTexts().join("\n").toStdString();
  ASSERT_EQ(f.Dialogs().Dialogs.back().DialogKind, Kind::Save);
  EXPECT_TRUE(f.Dialogs().Dialogs.back().InitialPath.endsWith(".fb2"));

  const testsupport::ProgramRun cli = testsupport::RunProgram(
      "vellumor-cli", {"convert", kSample, "-o", out / "cli.fb2", "--settings", out / "none.ini",
                       "--date", "10.12.2026", "--id", "window-test"});
  ASSERT_EQ(cli.ExitCode, 0) << cli.Err;
  const std::string window = testsupport::ReadFile(out / "window.fb2");
  EXPECT_TRUE(testsupport::IsWellFormedXml(window));
  EXPECT_EQ(window, testsupport::ReadFile(out / "cli.fb2"));
}

}  // namespace
