// The "Images" tab through the main window: "Load picture", "Load pictures" with the picture
// window, both panes kept in step with the session, and "Convert table" from the source editor.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/ui/ImagesTabController.h"
#include "images/Fixtures.h"
#include "images/PngCodec.h"
#include "images/ui/BatchImagesWindow.h"
#include "support/Xml.h"
#include "ui/support/ProgramFixture.h"

namespace {

using images::ui::BatchImagesWindow;
using testsupport::ProgramFixture;

constexpr int kImagesPage = 2;

class ImagesTabTest : public ::testing::Test {
 protected:
  ImagesTabTest() : controller(app::ui::ConnectImagesTab(f.Window(), f.Session())) {}

  QPlainTextEdit& Pane(int n) {
    return *f.Window().findChild<QPlainTextEdit*>(n == 1 ? "Memo1" : "Memo2");
  }
  const images::ImagesTabPanes& Panes() { return f.Session().ImagesPanes; }
  // The binaries of the session's lower pane; both panes together must be well-formed.
  std::vector<fixtures::Binary> Binaries() {
    EXPECT_TRUE(testsupport::IsWellFormedFragment(Panes().Refs + Panes().Binaries));
    return fixtures::ParseBinaries(Panes().Binaries);
  }
  // "Load pictures": `steps` run on the picture window once it shows; a window still open after
  // them is cancelled. Returns whether it was still open.
  bool WithPictureWindow(const std::function<void(BatchImagesWindow&)>& steps) {
    BatchImagesWindow& window = controller.BatchWindow();
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
      EXPECT_EQ(QApplication::activeModalWidget(), &window);
      steps(window);
      stayedOpen = window.isVisible();
      if (stayedOpen) QTest::keyClick(&window, Qt::Key_Escape);
    });
    f.Trigger("Act_Batch");
    EXPECT_FALSE(window.isVisible());
    return stayedOpen;
  }
  void Press(BatchImagesWindow& window, const char* button) {
    QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
  }

  ProgramFixture f;
  app::ui::ImagesTabController& controller;
  fixtures::TempDir pictures;
};

TEST_F(ImagesTabTest, TheCommandsAreEnabledOnceConnectedAndConnectedOnlyOnce) {
  for (const char* name : {"Act_LoadImage", "Act_Batch", "Act_ConvertTable"})
    EXPECT_TRUE(f.Window().Command(name)->isEnabled()) << name;
  EXPECT_EQ(&app::ui::ConnectImagesTab(f.Window(), f.Session()), &controller);
}

TEST_F(ImagesTabTest, LoadPictureFillsThePanesAndKeepsThemOnCancel) {
  const std::string jpeg = fixtures::PatternJpeg(8, 8);
  f.Dialogs().OpenAnswers.push_back(QString::fromStdString(pictures.Write("cat.jpg", jpeg)));
  f.Trigger("Act_LoadImage");
  EXPECT_EQ(Pane(1).toPlainText(), "\n<image xlink:href=\"#cat.jpg\"/>");
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 1u);
  EXPECT_EQ(binaries[0].Data, jpeg);
  EXPECT_TRUE(
      Pane(2).toPlainText().startsWith("\n<binary content-type=\"image/jpeg\" id=\"cat.jpg\">"));
  EXPECT_EQ(Pane(2).toPlainText(), QString::fromStdString(Panes().Binaries).replace("\r\n", "\n"));
  ASSERT_EQ(f.Dialogs().Dialogs.size(), 1u);
  EXPECT_EQ(f.Dialogs().Dialogs[0].Filters.size(), 3);

  // The user edits the upper pane; a cancelled dialog keeps the edit.
  Pane(1).setPlainText("line one\nline two");
  EXPECT_EQ(Panes().Refs, "line one\r\nline two");
  f.Trigger("Act_LoadImage");
  EXPECT_EQ(Pane(1).toPlainText(), "line one\nline two");
  EXPECT_EQ(Panes().Refs, "line one\r\nline two");
}

TEST_F(ImagesTabTest, ClearEmptiesThePaneAndTheSessionAlike) {
  f.Dialogs().OpenAnswers.push_back(
      QString::fromStdString(pictures.Write("a.png", fixtures::PatternPng(4, 4))));
  f.Trigger("Act_LoadImage");
  ASSERT_FALSE(Panes().Refs.empty());
  f.Trigger("Act_ClearMemo1");
  EXPECT_TRUE(Pane(1).toPlainText().isEmpty());
  EXPECT_EQ(Panes().Refs, "");
  EXPECT_FALSE(Panes().Binaries.empty());
  f.Trigger("Act_ClearMemo2");
  EXPECT_TRUE(Pane(2).toPlainText().isEmpty());
  EXPECT_EQ(Panes().Binaries, "");
  // Another command's refresh does not bring the cleared text back.
  f.Trigger("Act_LoadImage");  // cancelled
  EXPECT_TRUE(Pane(1).toPlainText().isEmpty());
  EXPECT_TRUE(Pane(2).toPlainText().isEmpty());
}

TEST_F(ImagesTabTest, ABrokenPictureReachesTheErrorDisplay) {
  Pane(1).setPlainText("kept?");
  f.Dialogs().OpenAnswers.push_back(
      QString::fromStdString(pictures.Write("bad.png", "\x89PNG\r\n\x1a\n broken")));
  f.Trigger("Act_LoadImage");
  ASSERT_EQ(f.Dialogs().Messages.size(), 1u);
  EXPECT_EQ(f.Dialogs().Messages[0].Caption, "Vellumor");
  EXPECT_FALSE(f.Dialogs().Messages[0].Text.isEmpty());
  // Both panes were emptied before the picture failed.
  EXPECT_TRUE(Pane(1).toPlainText().isEmpty());
  EXPECT_TRUE(Pane(2).toPlainText().isEmpty());
}

TEST_F(ImagesTabTest, ThreeTickedJpegsGiveThreeReferencesAndBinariesInListOrder) {
  for (const char* name : {"b.jpg", "A.jpg", "c.jpg", "unticked.jpg"})
    pictures.Write(name, fixtures::PatternJpeg(6, 6));
  Pane(1).setPlainText("old");
  const bool stayedOpen = WithPictureWindow([&](BatchImagesWindow& window) {
    window.SetFolder(pictures.Path());
    // Listed by name, letter case ignored: A.jpg, b.jpg, c.jpg, unticked.jpg.
    for (int row : {0, 1, 2}) window.SetTicked(row, true);
    Press(window, "ButStart");
  });
  EXPECT_FALSE(stayedOpen);
  EXPECT_EQ(Panes().Refs,
            "\r\n<image xlink:href=\"#A.jpg\"/>\r\n<image xlink:href=\"#b.jpg\"/>"
            "\r\n<image xlink:href=\"#c.jpg\"/>");
  EXPECT_EQ(Pane(1).toPlainText(),
            "\n<image xlink:href=\"#A.jpg\"/>\n<image xlink:href=\"#b.jpg\"/>"
            "\n<image xlink:href=\"#c.jpg\"/>");
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 3u);
  EXPECT_EQ(binaries[0].Id, "A.jpg");
  EXPECT_EQ(binaries[1].Id, "b.jpg");
  EXPECT_EQ(binaries[2].Id, "c.jpg");
  EXPECT_EQ(Pane(2).toPlainText().count("<binary "), 3);
}

TEST_F(ImagesTabTest, StartWithNothingTickedChangesNothingAndKeepsTheWindowOpen) {
  pictures.Write("a.jpg", fixtures::PatternJpeg(6, 6));
  Pane(1).setPlainText("refs");
  Pane(2).setPlainText("binaries");
  int progressChanges = 0;
  const bool stayedOpen = WithPictureWindow([&](BatchImagesWindow& window) {
    window.SetFolder(pictures.Path());
    QObject::connect(window.findChild<QProgressBar*>("ProgressBar1"), &QProgressBar::valueChanged,
                     [&] { ++progressChanges; });
    Press(window, "ButStart");
  });
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(progressChanges, 0);
  EXPECT_EQ(Panes().Refs, "refs");
  EXPECT_EQ(Pane(2).toPlainText(), "binaries");
}

TEST_F(ImagesTabTest, ATickedGifAdvancesTheProgressBarOnly) {
  pictures.Write("anim.gif", fixtures::PatternGif(6, 6));
  Pane(1).setPlainText("refs");
  std::vector<std::pair<int, int>> progress;  // value of maximum
  WithPictureWindow([&](BatchImagesWindow& window) {
    window.SetFolder(pictures.Path());
    auto* bar = window.findChild<QProgressBar*>("ProgressBar1");
    QObject::connect(bar, &QProgressBar::valueChanged,
                     [&, bar](int value) { progress.emplace_back(value, bar->maximum()); });
    window.SetTicked(0, true);
    Press(window, "ButStart");
  });
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 1}, {0, 1}}));
  EXPECT_EQ(Panes().Refs, "");
  EXPECT_EQ(Panes().Binaries, "");
  EXPECT_TRUE(Pane(1).toPlainText().isEmpty());
}

TEST_F(ImagesTabTest, ABrokenPictureInABatchIsShownAndTheWindowStaysOpen) {
  pictures.Write("a.png", fixtures::PatternPng(4, 4));
  pictures.Write("b.png", "\x89PNG\r\n\x1a\n broken");
  const bool stayedOpen = WithPictureWindow([&](BatchImagesWindow& window) {
    window.SetFolder(pictures.Path());
    window.SelectAll();
    Press(window, "ButStart");
  });
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(f.Dialogs().Messages.size(), 1u);
  // The picture before the broken one is in both panes.
  EXPECT_EQ(Pane(1).toPlainText(), "\n<image xlink:href=\"#a.png\"/>");
  EXPECT_EQ(Binaries().size(), 1u);
}

TEST_F(ImagesTabTest, EscapeClosesThePictureWindowWithoutChanges) {
  pictures.Write("a.jpg", fixtures::PatternJpeg(6, 6));
  Pane(1).setPlainText("refs");
  WithPictureWindow([&](BatchImagesWindow& window) {
    window.SetFolder(pictures.Path());
    window.SelectAll();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
  });
  EXPECT_EQ(Panes().Refs, "refs");
}

// The number of rows and columns of the grid drawn in a table picture: the horizontal edges
// crossing x = 3 (left of every cell's text), then the vertical edges crossing the pixel row just
// above the first row's bottom edge (below every text of that row).
std::pair<int, int> DrawnGrid(const images::Raster& picture) {
  const auto dark = [&](int x, int y) {
    const uint8_t* p = picture.Pixel(x, y);
    return p[0] < 64 && p[1] < 64 && p[2] < 64;
  };
  std::vector<int> edges;
  for (int y = 0; y < picture.Height; ++y) {
    if (dark(3, y)) edges.push_back(y);
  }
  if (edges.size() < 2) return {0, 0};
  const int y = edges[1] - 1;
  int vertical = 0;
  for (int x = 0; x < picture.Width; ++x) {
    if (dark(x, y) && (x == 0 || !dark(x - 1, y))) ++vertical;
  }
  return {static_cast<int>(edges.size()) - 1, vertical - 1};
}

TEST_F(ImagesTabTest, ConvertTableDrawsTheSelectedTablesIntoThePanes) {
  const std::string source =
      "<html><body><p>Prices</p>\r\n"
      "<table border=\"1\"><tr><td>Apples</td><td>3</td><td>Pears</td></tr>"
      "<tr><td>Plums</td><td>4</td><td>Figs</td></tr></table>\r\n"
      "<p>Dates</p>\r\n"
      "<table border=\"1\"><tr><td>One</td></tr><tr><td>Two</td></tr><tr><td>Three</td></tr>"
      "<tr><td>Four</td></tr></table>\r\n</body></html>\r\n";
  f.Show();
  f.Session().SourceEditor().Load(source);
  const struct {
    size_t Start;
    const char* Id;
    std::pair<int, int> Grid;  // rows, columns
  } tables[] = {{source.find("<table"), "table1.png", {2, 3}},
                {source.rfind("<table"), "table2.png", {4, 1}}};
  for (const auto& table : tables) {
    SCOPED_TRACE(table.Id);
    f.Window().ShowPage(0);
    const size_t end = source.find("</table>", table.Start) + 8;
    f.Session().SourceEditor().Select(table.Start, end - table.Start);
    f.Trigger("Act_ConvertTable");
    EXPECT_EQ(Pane(1).toPlainText(), QString("\n<image xlink:href=\"#%1\"/>\n").arg(table.Id));
    const auto binaries = Binaries();
    ASSERT_EQ(binaries.size(), 1u);
    EXPECT_EQ(binaries[0].Id, table.Id);
    EXPECT_EQ(binaries[0].Type, "png");
    const images::Raster picture = images::DecodePng(binaries[0].Data);
    EXPECT_EQ(DrawnGrid(picture), table.Grid);
    EXPECT_EQ(Pane(2).toPlainText().count("<binary "), 1);
    EXPECT_EQ(f.Window().findChild<QTabWidget*>("PageControl1")->currentIndex(), kImagesPage);
  }
  EXPECT_EQ(f.Session().Document().TablePictureCount, 2);
  EXPECT_TRUE(f.Dialogs().Messages.empty());
}

TEST_F(ImagesTabTest, ConvertTableWithNothingSelectedEmptiesThePanesOnly) {
  f.Session().SourceEditor().Load("<table><tr><td>x</td></tr></table>");
  Pane(1).setPlainText("refs");
  Pane(2).setPlainText("binaries");
  f.Trigger("Act_ConvertTable");
  EXPECT_TRUE(Pane(1).toPlainText().isEmpty());
  EXPECT_TRUE(Pane(2).toPlainText().isEmpty());
  EXPECT_EQ(f.Session().Document().TablePictureCount, 0);
  EXPECT_EQ(f.Window().findChild<QTabWidget*>("PageControl1")->currentIndex(), 0);
}

}  // namespace
