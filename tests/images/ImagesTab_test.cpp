#include "images/ImagesTab.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Fixtures.h"
#include "images/DecodeError.h"
#include "platform/ScratchFolder.h"

namespace {

class ImagesTabTest : public ::testing::Test {
 protected:
  bool Start(const std::vector<images::BatchPictureEntry>& entries) {
    return images::StartBatchPictures(
        panes_, entries, dir_.Path(), {}, scratch_, [this](size_t done, size_t total) {
          progress_.push_back(std::to_string(done) + "/" + std::to_string(total));
        });
  }
  fixtures::TempDir dir_;
  platform::ScratchFolder scratch_;
  images::ImagesTabPanes panes_{"old refs", "old binaries"};
  std::vector<std::string> progress_;
};

TEST_F(ImagesTabTest, StartEncodesTheTickedPicturesInListOrder) {
  for (const char* name : {"c.jpg", "a.jpg", "b.jpg", "skip.jpg"}) {
    dir_.Write(name, fixtures::PatternJpeg(6, 6));
  }
  dir_.Write("d.gif", fixtures::PatternGif(6, 6));
  ASSERT_TRUE(Start(
      {{"c.jpg", true}, {"skip.jpg", false}, {"d.gif", true}, {"a.jpg", true}, {"b.jpg", true}}));
  EXPECT_EQ(panes_.Refs,
            "\r\n<image xlink:href=\"#c.jpg\"/>\r\n<image xlink:href=\"#a.jpg\"/>"
            "\r\n<image xlink:href=\"#b.jpg\"/>");
  const auto binaries = fixtures::ParseBinaries(panes_.Binaries);
  ASSERT_EQ(binaries.size(), 3u);
  EXPECT_EQ(binaries[0].Id, "c.jpg");
  EXPECT_EQ(binaries[1].Id, "a.jpg");
  EXPECT_EQ(binaries[2].Id, "b.jpg");
  EXPECT_TRUE(panes_.Binaries.starts_with("\r\n<binary "));
  EXPECT_TRUE(testsupport::IsWellFormedFragment(panes_.Refs + panes_.Binaries));
  // The GIF adds nothing but still counts.
  EXPECT_EQ(progress_, (std::vector<std::string>{"0/4", "1/4", "2/4", "3/4", "4/4", "0/4"}));
}

TEST_F(ImagesTabTest, StartWithNothingTickedChangesNothing) {
  EXPECT_FALSE(Start({{"a.jpg", false}}));
  EXPECT_FALSE(Start({}));
  EXPECT_EQ(panes_.Refs, "old refs");
  EXPECT_EQ(panes_.Binaries, "old binaries");
  EXPECT_TRUE(progress_.empty());
}

TEST_F(ImagesTabTest, ABrokenPictureStopsStartWithThePanesInStep) {
  dir_.Write("a.png", fixtures::PatternPng(6, 6));
  dir_.Write("bad.png", "\x89PNG\r\n\x1a\n broken");
  EXPECT_THROW(Start({{"a.png", true}, {"bad.png", true}}), images::ImageDecodeError);
  EXPECT_EQ(panes_.Refs, "\r\n<image xlink:href=\"#a.png\"/>");
  EXPECT_EQ(fixtures::ParseBinaries(panes_.Binaries).size(), 1u);
}

TEST_F(ImagesTabTest, LoadPictureCommandReplacesBothPanes) {
  dir_.Write("x.png", fixtures::PatternPng(6, 6));
  images::LoadPictureCommand(panes_, dir_.Path() + "x.png", {}, scratch_);
  EXPECT_EQ(panes_.Refs, "\r\n<image xlink:href=\"#x.png\"/>");
  EXPECT_EQ(fixtures::ParseBinaries(panes_.Binaries).at(0).Id, "x.png");
  images::LoadPictureCommand(panes_, dir_.Path() + "missing.png", {}, scratch_);
  EXPECT_EQ(panes_.Refs, "");
  EXPECT_EQ(panes_.Binaries, "");
}

TEST(BatchPictureList, MaskPreviewAndListing) {
  struct Case {
    const char* Name;
    bool Listed, Previewed;
  };
  const Case cases[] = {
      {"a.jpg", true, true},    {"A.JPG", true, true},   {"b.png", true, true},
      {"bpng", true, false},    {"c.GIF", true, true},   {"cgif", true, false},
      {"d.jpeg", false, false}, {"e.bmp", false, false}, {"jpg", false, false},
  };
  fixtures::TempDir dir;
  for (const Case& c : cases) {
    EXPECT_EQ(images::MatchesBatchPictureMask(c.Name), c.Listed) << c.Name;
    EXPECT_EQ(images::CanPreview(c.Name), c.Previewed) << c.Name;
    dir.Write(c.Name, "x");
  }
  std::filesystem::create_directory(dir.Path() + "folder.png");
  EXPECT_EQ(images::ListBatchPictures(dir.Path()),
            (std::vector<std::string>{"A.JPG", "a.jpg", "b.png", "bpng", "c.GIF", "cgif"}));

  dir.Write("ok.gif", fixtures::PatternGif(3, 2));
  const auto preview = images::LoadPreview(dir.Path() + "ok.gif");
  ASSERT_TRUE(preview.has_value());
  EXPECT_EQ(preview->Width, 3);
  EXPECT_FALSE(images::LoadPreview(dir.Path() + "a.jpg").has_value());
  EXPECT_FALSE(images::LoadPreview(dir.Path() + "none.png").has_value());
}

// Letter case is ignored, and names equal but for it come in the order of their bytes: one
// order whatever order the file system lists them in (tmpfs and ext4 differ).
TEST(BatchPictureList, OrderDoesNotDependOnTheFolder) {
  std::vector<std::string> names = {"b.png", "A.JPG",  "a.jpg", "B.PNG",
                                    "a.Jpg", "_x.gif", "Ab.gif"};
  const std::vector<std::string> expected = {"_x.gif", "A.JPG", "a.Jpg", "a.jpg",
                                             "Ab.gif", "B.PNG", "b.png"};
  std::sort(names.begin(), names.end());
  size_t orders = 0;
  do {
    std::vector<std::string> listed = names;
    images::SortBatchPictureNames(listed);
    ASSERT_EQ(listed, expected) << "from order " << orders;
    ++orders;
  } while (std::next_permutation(names.begin(), names.end()));
  EXPECT_EQ(orders, 5040u);
}

}  // namespace
