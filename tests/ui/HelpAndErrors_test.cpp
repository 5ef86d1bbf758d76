// The help window's file, the general error display for a bad file, and moving to a problem
// that "Validate" found.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include "app/ui/HelpWindow.h"
#include "support/Fb2Document.h"
#include "support/Xml.h"
#include "ui/support/ProgramFixture.h"

namespace {

using testsupport::ProgramFixture;

// Shows the help window once and closes it again.
void ShowAndClose(app::ui::HelpWindow& help) {
  QTimer::singleShot(0, &help, &QDialog::reject);
  help.exec();
  testsupport::ProcessEvents();
}

TEST(HelpWindowTest, ReadsTheHelpFileOnEveryShowAndSaysWhenItIsMissing) {
  testsupport::TempFolder folder;
  app::ui::HelpWindow help(QString::fromStdString(folder.Path().string()));
  QStringList missing;
  QObject::connect(&help, &app::ui::HelpWindow::FileMissing,
                   [&missing](const QString& path) { missing << path; });

  testsupport::WriteFile(folder / "help.txt", "First text\r\n");
  ShowAndClose(help);
  EXPECT_EQ(help.Text(), "First text\n");

  testsupport::WriteFile(folder / "help.txt", "Second text\r\n");
  ShowAndClose(help);
  EXPECT_EQ(help.Text(), "Second text\n");

  std::filesystem::remove(folder / "help.txt");
  ShowAndClose(help);
  EXPECT_EQ(missing, QStringList{QString::fromStdString(folder / "help.txt")});
  EXPECT_EQ(help.Text(), "Second text\n");  // the pane keeps what it had
}

TEST(HelpWindowTest, TheProgramNamesTheMissingFileInAMessage) {
  testsupport::TempFolder programFolder;
  ProgramFixture f({}, {}, programFolder.Path().string());
  QTimer::singleShot(50, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  f.Trigger("Act_ShowHelpBox");
  testsupport::ProcessEvents();
  ASSERT_EQ(f.Dialogs().Messages.size(), 1u);
  EXPECT_EQ(f.Dialogs().Messages[0].Text,
            QString::fromStdString(programFolder / "help.txt") + " not found.");
}

TEST(GeneralErrorDisplayTest, AFileThatCannotBeOpenedIsShownAndTheWindowGoesOn) {
  testsupport::TempFolder folder;
  const std::string pipe = folder / "pipe.html";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ProgramFixture f;
  f.Show();
  f.Dialogs().OpenAnswers.push_back(QString::fromStdString(pipe));
  f.Trigger("Act_OpenSource");
  ASSERT_EQ(f.Dialogs().Messages.size(), 1u);
  EXPECT_EQ(f.Dialogs().Messages[0].Caption, "Vellumor");
  EXPECT_TRUE(f.Dialogs().Messages[0].Text.contains("pipe.html"));
  EXPECT_EQ(f.Session().SourceEditor().LineCount(), 0u);
  EXPECT_TRUE(f.Window().isVisible());
}

TEST(ValidateTest, ListsTheProblemsAndMovesToTheOneChosen) {
  ProgramFixture f;
  f.Show();
  f.Session().ResultEditor().Load(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook>\r\n<body>\r\n"
      "<p>open\r\n</body>\r\n</FictionBook>\r\n");
  f.Trigger("Act_Validate");
  auto* list = f.Window().findChild<QListWidget*>("ValidationList");
  ASSERT_FALSE(list->isHidden());
  ASSERT_GT(list->count(), 0);
  EXPECT_TRUE(list->item(0)->text().startsWith("5:")) << list->item(0)->text().toStdString();
  emit list->itemActivated(list->item(0));
  int line = 0, index = 0;
  f.Window().ResultEditorWidget().getCursorPosition(&line, &index);
  EXPECT_EQ(line, 4);  // lines count from 0 in the widget

  // Once the text is right, the list goes and the status bar says so.
  f.Session().ResultEditor().Load(testsupport::MakeFb2(testsupport::SimpleBody()));
  f.Trigger("Act_Validate");
  EXPECT_TRUE(list->isHidden());
  EXPECT_EQ(f.Window().StatusText(2), "valid");
}

}  // namespace
