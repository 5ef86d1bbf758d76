#include "images/CoverImage.h"

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "images/DecodeError.h"
#include "images/JpegCodec.h"
#include "platform/ScratchFolder.h"

namespace {

class CoverImageTest : public ::testing::Test {
 protected:
  images::EmbeddedPicture Prepare(const std::string& name) {
    images::EmbeddedPicture p = images::PrepareCoverImage(dir_.Path() + name, {}, scratch_);
    if (!p.Empty()) {
      EXPECT_TRUE(testsupport::IsWellFormedFragment(p.ImageRef + p.Binary));
    }
    return p;
  }
  fixtures::TempDir dir_;
  platform::ScratchFolder scratch_;
};

TEST_F(CoverImageTest, KeepsTheFileNamesCaseAndScalesLargeCovers) {
  const std::string small = fixtures::PatternJpeg(30, 40);
  dir_.Write("Cover.jpg", small);
  const images::EmbeddedPicture p = Prepare("Cover.jpg");
  EXPECT_EQ(p.ImageRef, "<image xlink:href=\"#Cover.jpg\"/>");
  const auto binaries = fixtures::ParseBinaries(p.Binary);
  ASSERT_EQ(binaries.size(), 1u);
  EXPECT_EQ(binaries[0].Id, "Cover.jpg");
  EXPECT_EQ(binaries[0].Data, small);

  // A scaled copy takes the lower-case extension, so an upper-case one still embeds.
  dir_.Write("BIG.JPG", fixtures::PatternJpeg(1200, 1400));
  const images::EmbeddedPicture big = Prepare("BIG.JPG");
  EXPECT_EQ(big.ImageRef, "<image xlink:href=\"#BIG.jpg\"/>");
  const images::Raster back = images::DecodeJpeg(fixtures::ParseBinaries(big.Binary).at(0).Data);
  EXPECT_EQ(back.Width, 580);
  EXPECT_EQ(back.Height, 677);
  EXPECT_TRUE(std::filesystem::is_empty(scratch_.Path())) << "the copy goes once encoded";
}

TEST_F(CoverImageTest, OtherKindsAndMissingFilesGiveNothing) {
  dir_.Write("small.JPG", fixtures::PatternJpeg(30, 40));  // unscaled: ".JPG" is no known type
  dir_.Write("anim.gif", fixtures::PatternGif(30, 40));
  dir_.Write("empty.png", "");
  for (const char* name : {"small.JPG", "anim.gif", "empty.png", "missing.jpg"}) {
    const images::EmbeddedPicture p = Prepare(name);
    EXPECT_TRUE(p.Empty()) << name;
    EXPECT_EQ(p.Binary, "") << name;
  }
  dir_.Write("broken.png", fixtures::PatternPng(30, 40).substr(0, 60));
  EXPECT_THROW(Prepare("broken.png"), images::ImageDecodeError);
}

TEST_F(CoverImageTest, LoadPictureAppendsALineToEachText) {
  dir_.Write("a.png", fixtures::PatternPng(5, 5));
  dir_.Write("b.gif", fixtures::PatternGif(5, 5));
  std::string refs = "old", pending;
  images::LoadPicture(dir_.Path() + "a.png", {}, scratch_, refs, pending);
  images::LoadPicture(dir_.Path() + "b.gif", {}, scratch_, refs, pending);
  EXPECT_EQ(refs, "old\r\n<image xlink:href=\"#a.png\"/>");
  ASSERT_TRUE(pending.starts_with("\r\n<binary content-type=\"image/png\" id=\"a.png\">"));
  EXPECT_EQ(fixtures::ParseBinaries(pending).size(), 1u);
}

}  // namespace
