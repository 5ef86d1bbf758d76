// The "Images" tab's commands on the session: "Load picture", the batch window's "Start" and
// "Convert table", with what they leave in the two panes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "images/DecodeError.h"
#include "images/Fixtures.h"
#include "images/PngCodec.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace app {
namespace {

const std::string kTwoTables =
    "<p>before</p>\r\n"
    "<table border=\"1\"><tr><td>One</td><td>Two</td><td>Three</td></tr></table>\r\n"
    "<p>between</p>\r\n"
    "<table><tr><td>Alpha</td></tr><tr><td>Beta</td></tr></table>\r\n";

class SessionImagesTest : public ::testing::Test {
 protected:
  SessionImagesTest() : session(ui, source, result, VELLUMOR_BIN_DIR, folder / "vellumor.ini") {}

  // Selects the `n`th table (from 0) of the source text.
  void SelectTable(int n) {
    const std::string text = source.Text();
    size_t start = 0;
    for (int i = 0; i <= n; ++i) start = text.find("<table", i == 0 ? 0 : start + 1);
    const size_t end = text.find("</table>", start) + 8;
    source.Select(start, end - start);
  }
  // The panes' binaries, each checked to be one well-formed binary element.
  std::vector<fixtures::Binary> Binaries() {
    EXPECT_TRUE(
        testsupport::IsWellFormedFragment(session.ImagesPanes.Refs + session.ImagesPanes.Binaries));
    return fixtures::ParseBinaries(session.ImagesPanes.Binaries);
  }

  testsupport::TempFolder folder;
  fixtures::TempDir pictures;
  testsupport::FakeUserInterface ui;
  PlainTextEditor source;
  PlainTextEditor result;
  Session session;
};

TEST_F(SessionImagesTest, LoadImageAsksWithThePictureFiltersAndFillsBothPanes) {
  session.ImagesPanes = {"old refs", "old binaries"};
  session.Act_LoadImage();  // cancelled
  ASSERT_EQ(ui.Dialogs.size(), 1u);
  const auto& asked = ui.Dialogs[0];
  EXPECT_EQ(asked.Kind, testsupport::FakeUserInterface::DialogKind::Open);
  ASSERT_EQ(asked.Filters.size(), 3u);
  EXPECT_EQ(asked.Filters[0].Caption, "Images (*.png;*.jpg;)");
  EXPECT_EQ(asked.Filters[0].Patterns, "*.png;*.jpg");
  EXPECT_EQ(asked.Filters[1].Caption, "Portable Network Graphics (*.png)");
  EXPECT_EQ(asked.Filters[2].Patterns, "*.jpg");
  EXPECT_EQ(session.ImagesPanes.Refs, "old refs");
  EXPECT_EQ(session.ImagesPanes.Binaries, "old binaries");

  const std::string png = fixtures::PatternPng(8, 6);
  ui.AnswerOpen(pictures.Write("Photo.png", png));
  session.Act_LoadImage();
  EXPECT_EQ(session.ImagesPanes.Refs, "\r\n<image xlink:href=\"#Photo.png\"/>");
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 1u);
  EXPECT_EQ(binaries[0].Id, "Photo.png");
  EXPECT_EQ(binaries[0].Type, "png");
  EXPECT_EQ(binaries[0].Data, png);
}

TEST_F(SessionImagesTest, LoadImageOfABrokenPictureThrowsWithThePanesEmptied) {
  session.ImagesPanes = {"old refs", "old binaries"};
  ui.AnswerOpen(pictures.Write("broken.jpg", "\xFF\xD8\xFF not a picture"));
  EXPECT_THROW(session.Act_LoadImage(), images::ImageError);
  EXPECT_EQ(session.ImagesPanes.Refs, "");
  EXPECT_EQ(session.ImagesPanes.Binaries, "");
}

TEST_F(SessionImagesTest, StartBatchPicturesScalesToTheSettingsLimits) {
  session.Settings().MaxImageWidth = 10;
  session.Settings().MaxImageHeight = 10;
  pictures.Write("wide.jpg", fixtures::PatternJpeg(40, 20));
  pictures.Write("small.png", fixtures::PatternPng(4, 4));
  std::vector<std::pair<size_t, size_t>> progress;
  ASSERT_TRUE(session.StartBatchPictures(
      pictures.Path(), {{"small.png", true}, {"wide.jpg", true}},
      [&](size_t done, size_t total) { progress.emplace_back(done, total); }));
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 2u);
  EXPECT_EQ(binaries[0].Id, "small.png");
  EXPECT_EQ(binaries[1].Id, "wide~temp.jpg");
  const images::Raster scaled = images::DecodeJpeg(binaries[1].Data);
  EXPECT_EQ(scaled.Width, 10);
  EXPECT_EQ(scaled.Height, 5);
  EXPECT_EQ(progress, (std::vector<std::pair<size_t, size_t>>{{0, 2}, {1, 2}, {2, 2}, {0, 2}}));

  // Nothing ticked: the panes stay as they are.
  const images::ImagesTabPanes before = session.ImagesPanes;
  EXPECT_FALSE(session.StartBatchPictures(pictures.Path(), {{"small.png", false}}, {}));
  EXPECT_EQ(session.ImagesPanes.Refs, before.Refs);
  EXPECT_EQ(session.ImagesPanes.Binaries, before.Binaries);
}

TEST_F(SessionImagesTest, ConvertTableNumbersThePicturesAndShowsTheImagesPage) {
  source.Load(kTwoTables);
  SelectTable(0);
  session.Act_ConvertTable();
  EXPECT_EQ(session.Document().TablePictureCount, 1);
  EXPECT_EQ(session.ImagesPanes.Refs, "\r\n<image xlink:href=\"#table1.png\"/>\r\n");
  auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 1u);
  EXPECT_EQ(binaries[0].Id, "table1.png");
  EXPECT_EQ(binaries[0].Type, "png");
  const images::Raster first = images::DecodePng(binaries[0].Data);
  EXPECT_EQ(ui.Pages, std::vector<int>{Session::kImagesPage});

  SelectTable(1);
  session.Act_ConvertTable();
  EXPECT_EQ(session.Document().TablePictureCount, 2);
  EXPECT_EQ(session.ImagesPanes.Refs, "\r\n<image xlink:href=\"#table2.png\"/>\r\n");
  binaries = Binaries();
  ASSERT_EQ(binaries.size(), 1u);
  EXPECT_EQ(binaries[0].Id, "table2.png");
  const images::Raster second = images::DecodePng(binaries[0].Data);
  // Three cells in a row against two rows of one cell.
  EXPECT_GT(first.Width, second.Width);
  EXPECT_LT(first.Height, second.Height);

  // A cleared result starts the numbers again.
  session.ClearResultDocument();
  session.Act_ConvertTable();
  EXPECT_EQ(Binaries().at(0).Id, "table1.png");
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(SessionImagesTest, ConvertTableWithoutAPictureEmptiesThePanes) {
  struct Case {
    const char* Name;
    std::string Selected;
    int Count;  // TablePictureCount afterwards
  };
  const Case cases[] = {
      {"nothing selected", "", 0},
      {"a table without cells", "<table><tr><th>head</th></tr></table>", 1},
      {"text only", "just words", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    session.Document().TablePictureCount = 0;
    session.ImagesPanes = {"old refs", "old binaries"};
    ui.Pages.clear();
    source.Load("<p>x</p>" + c.Selected);
    source.Select(8, c.Selected.size());
    session.Act_ConvertTable();
    EXPECT_EQ(session.Document().TablePictureCount, c.Count);
    EXPECT_EQ(session.ImagesPanes.Refs, "");
    EXPECT_EQ(session.ImagesPanes.Binaries, "");
    EXPECT_TRUE(ui.Pages.empty());
  }
}

TEST_F(SessionImagesTest, ConvertTableFollowsTheTableSettings) {
  session.Settings().MaxImageWidth = 60;
  source.Load(
      "<table><tr><td>many words that need a far wider picture than sixty pixels</td>"
      "<td>and another long cell of text</td></tr></table>");
  source.Select(0, source.Text().size());
  session.Act_ConvertTable();
  const images::Raster picture = images::DecodePng(Binaries().at(0).Data);
  EXPECT_LE(picture.Width, 60);
  EXPECT_GT(picture.Width, 0);
}

}  // namespace
}  // namespace app
