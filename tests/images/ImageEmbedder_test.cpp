#include "images/ImageEmbedder.h"

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "images/AreaScaler.h"
#include "images/DecodeError.h"
#include "images/JpegCodec.h"
#include "images/PicturePaths.h"
#include "images/PngCodec.h"
#include "platform/ScratchFolder.h"
#include "support/Xml.h"

namespace {

using fixtures::Binary;

class EmbedImageTest : public ::testing::Test {
 protected:
  // Embeds every tag of the HTML in order; returns the references joined.
  std::string EmbedAll(std::string_view html, images::PictureOptions options = {}) {
    images::ImageEmbedder embedder(options, source_.Path(), scratch_);
    embedder.BeginConversion();
    std::string refs = EmbedWith(embedder, html);
    sets_ = embedder.ImageSets();
    return refs;
  }
  std::string EmbedWith(images::ImageEmbedder& embedder, std::string_view html) {
    parser_.Source() = "<body>" + std::string(html);  // the tokenizer wants an HTML marker
    parser_.Parse();
    std::string refs;
    for (engine::ItemRef item : parser_) {
      if (item.IsTag()) refs += embedder.Embed(item.AsTag(), binaries_);
    }
    EXPECT_TRUE(testsupport::IsWellFormedFragment("<p>" + refs + "</p>" + binaries_));
    return refs;
  }
  std::vector<Binary> Binaries() const { return fixtures::ParseBinaries(binaries_); }
  // The scratch folder holds nothing once the pictures are encoded.
  void ExpectScratchEmpty() {
    if (!scratch_.Created()) return;
    EXPECT_TRUE(std::filesystem::is_empty(scratch_.Path()));
  }

  fixtures::TempDir source_;
  platform::ScratchFolder scratch_;
  engine::THTMLParser parser_;
  std::string binaries_;
  std::vector<images::TImageSet> sets_;
};

TEST_F(EmbedImageTest, RepeatedPictureGivesTwoReferencesAndOneBinary) {
  const std::string jpeg = fixtures::PatternJpeg(40, 30);
  source_.Write("images/a.jpg", jpeg);
  const std::string refs = EmbedAll("<img src=\"images/a.jpg\"><p><IMG SRC='images/a.jpg' alt=x>");
  EXPECT_EQ(refs, "<image xlink:href=\"#a.jpg\"/><image xlink:href=\"#a.jpg\"/>");
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 1u);
  EXPECT_EQ(binaries[0].Type, "jpeg");
  EXPECT_EQ(binaries[0].Id, "a.jpg");
  EXPECT_EQ(binaries[0].Data, jpeg) << "a picture within the limits is embedded as it is";
  ASSERT_EQ(sets_.size(), 1u);
  EXPECT_EQ(sets_[0].SourceFile, source_.Path() + "images/a.jpg");
  EXPECT_EQ(sets_[0].EmbeddedFile, sets_[0].SourceFile);
}

// Without their own ids the second picture's references would show the first picture.
TEST_F(EmbedImageTest, PicturesOfOneNameInTwoFoldersGetIdsOfTheirOwn) {
  const std::string first = fixtures::PatternJpeg(40, 30), second = fixtures::PatternJpeg(30, 40);
  source_.Write("a/pic.jpg", first);
  source_.Write("b/Pic.jpg", second);
  source_.Write("c/pic_2.jpg", first);
  const std::string refs =
      EmbedAll("<img src=a/pic.jpg><img src=b/Pic.jpg><img src=c/pic_2.jpg><img src=b/Pic.jpg>");
  EXPECT_EQ(refs,
            "<image xlink:href=\"#pic.jpg\"/><image xlink:href=\"#pic_2.jpg\"/>"
            "<image xlink:href=\"#pic_2_2.jpg\"/><image xlink:href=\"#pic_2.jpg\"/>");
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 3u);
  EXPECT_EQ(binaries[0].Id, "pic.jpg");
  EXPECT_EQ(binaries[1].Id, "pic_2.jpg");
  EXPECT_EQ(binaries[1].Data, second);
  EXPECT_EQ(binaries[2].Id, "pic_2_2.jpg");
}

struct SizeCase {
  const char* Name;
  int Width, Height;
  int ExpectWidth, ExpectHeight;
  const char* ExpectId;
};

TEST_F(EmbedImageTest, LargePicturesAreScaledIntoScratchCopies) {
  const SizeCase cases[] = {
      {"Wide.jpg", 1000, 500, 580, 290, "wide~temp.jpg"},
      {"tall.png", 600, 2000, 210, 700, "tall~temp.png"},
      {"fits.jpg", 580, 700, 580, 700, "fits.jpg"},
      {"fits.png", 580, 700, 580, 700, "fits.png"},
  };
  std::string html;
  for (const SizeCase& c : cases) {
    const bool jpeg = images::ImageContentType(c.Name) == "jpeg";
    source_.Write(c.Name, jpeg ? fixtures::PatternJpeg(c.Width, c.Height)
                               : fixtures::PatternPng(c.Width, c.Height));
    html += std::string("<img src=\"") + c.Name + "\">";
  }
  const std::string refs = EmbedAll(html);
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const SizeCase& c = cases[i];
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(binaries[i].Id, c.ExpectId);
    EXPECT_NE(refs.find(std::string("#") + c.ExpectId + "\""), std::string::npos);
    const images::Raster back = binaries[i].Type == "jpeg" ? images::DecodeJpeg(binaries[i].Data)
                                                           : images::DecodePng(binaries[i].Data);
    EXPECT_EQ(back.Width, c.ExpectWidth);
    EXPECT_EQ(back.Height, c.ExpectHeight);
    const images::Raster expected =
        images::ScaleArea(fixtures::Pattern(c.Width, c.Height), c.ExpectWidth, c.ExpectHeight);
    EXPECT_LT(fixtures::MeanDifference(back, expected), 3.0);
  }
  ExpectScratchEmpty();
  // Nothing is written beside the source pictures.
  EXPECT_EQ(source_.Files(),
            (std::vector<std::string>{"Wide.jpg", "fits.jpg", "fits.png", "tall.png"}));
}

TEST_F(EmbedImageTest, ScaledPictureRepeatedKeepsTheCopysId) {
  source_.Write("big.jpg", fixtures::PatternJpeg(1000, 500));
  const std::string refs = EmbedAll("<img src=big.jpg><img src=big.jpg>");
  EXPECT_EQ(refs, "<image xlink:href=\"#big~temp.jpg\"/><image xlink:href=\"#big~temp.jpg\"/>");
  EXPECT_EQ(Binaries().size(), 1u);
}

TEST_F(EmbedImageTest, GifBecomesJpegEvenWithResizingOff) {
  images::Raster expected;
  source_.Write("Anim.gif", fixtures::PatternGif(700, 300, &expected));
  images::PictureOptions off;
  off.ResizeImages = false;
  EXPECT_EQ(EmbedAll("<img src=\"Anim.gif\">", off), "<image xlink:href=\"#anim.jpg\"/>");
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 1u);
  EXPECT_EQ(binaries[0].Type, "jpeg");
  const images::Raster back = images::DecodeJpeg(binaries[0].Data);
  EXPECT_EQ(back.Width, 700);
  EXPECT_EQ(back.Height, 300);
  EXPECT_LT(fixtures::MeanDifference(back, expected), 4.0);
  ExpectScratchEmpty();
  EXPECT_EQ(source_.Files(), std::vector<std::string>{"Anim.gif"});
}

TEST_F(EmbedImageTest, GifBesideAJpegOfItsNameGetsATempId) {
  source_.Write("pic.gif", fixtures::PatternGif(800, 100));
  source_.Write("pic.jpg", fixtures::PatternJpeg(10, 10));
  EXPECT_EQ(EmbedAll("<img src=pic.gif>"), "<image xlink:href=\"#pic~temp.jpg\"/>");
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 1u);
  const images::Raster back = images::DecodeJpeg(binaries[0].Data);
  EXPECT_EQ(back.Width, 580) << "with resizing on the GIF is scaled too";
  EXPECT_EQ(back.Height, 72) << "72.5 rounds to the even neighbour";
}

TEST_F(EmbedImageTest, TinyGifBecomesTwoByTwo) {
  fixtures::GifPicture g;
  g.Width = g.Height = 1;
  g.Palette = {{200, 10, 10}, {0, 0, 0}};
  g.Indexes = {0};
  source_.Write("dot.gif", fixtures::EncodeGif(g));
  EmbedAll("<img src=dot.gif>");
  const auto binaries = Binaries();
  ASSERT_EQ(binaries.size(), 1u);
  const images::Raster back = images::DecodeJpeg(binaries[0].Data);
  EXPECT_EQ(back.Width, 2);
  EXPECT_EQ(back.Height, 2);
}

TEST_F(EmbedImageTest, SourcesResolveAgainstTheDocumentFolder) {
  source_.Write("sub dir/my pic.jpg", fixtures::PatternJpeg(8, 8));
  source_.Write("pics/b.png", fixtures::PatternPng(8, 8));
  const std::string refs = EmbedAll(
      "<img src=\"sub%20dir/my%20pic.jpg\"><img src=\"pics\\b.png\"><img src=\"sub dir/my "
      "pic.jpg\">");
  EXPECT_EQ(refs,
            "<image xlink:href=\"#my pic.jpg\"/><image xlink:href=\"#b.png\"/>"
            "<image xlink:href=\"#my pic.jpg\"/>");
  EXPECT_EQ(Binaries().size(), 2u) << "the decoded path is the same picture";
}

TEST_F(EmbedImageTest, IdsAreEscaped) {
  source_.Write("a&b\".jpg", fixtures::PatternJpeg(8, 8));
  EXPECT_EQ(EmbedAll("<img src='a&b\".jpg'>"), "<image xlink:href=\"#a&amp;b&quot;.jpg\"/>");
  ASSERT_EQ(Binaries().size(), 1u);
  EXPECT_EQ(Binaries()[0].Id, "a&amp;b&quot;.jpg");
}

TEST_F(EmbedImageTest, TagsThatNameNoUsablePictureGiveNothing) {
  source_.Write("a.jpeg", fixtures::PatternJpeg(8, 8));
  source_.Write("b.bmp", "BM");
  source_.Write("empty.jpg", "");
  source_.Write("empty.png", "");
  const std::string refs = EmbedAll(
      "<img><img alt=src><img src=\"\"><img src=missing.jpg><img src=a.jpeg><img src=b.bmp>"
      "<img src=empty.jpg><img src=empty.png><img src=missing.jpg>");
  EXPECT_EQ(refs, "");
  EXPECT_EQ(binaries_, "");
  // Tags without src add no entry; every other distinct path keeps its entry, and a missing
  // picture met again still refers to nothing.
  ASSERT_EQ(sets_.size(), 6u);
  EXPECT_EQ(sets_[0].SourceFile, source_.Path());
  EXPECT_EQ(sets_[1].SourceFile, source_.Path() + "missing.jpg");
  EXPECT_EQ(sets_[1].EmbeddedFile, "");
}

TEST_F(EmbedImageTest, LimitsOfZeroOrResizingOffScaleNothing) {
  const std::string jpeg = fixtures::PatternJpeg(1000, 500);
  source_.Write("big.jpg", jpeg);
  images::PictureOptions zero;
  zero.MaxImageWidth = 0;
  images::PictureOptions off;
  off.ResizeImages = false;
  for (const images::PictureOptions& options : {zero, off}) {
    binaries_.clear();
    EXPECT_EQ(EmbedAll("<img src=big.jpg>", options), "<image xlink:href=\"#big.jpg\"/>");
    ASSERT_EQ(Binaries().size(), 1u);
    EXPECT_EQ(Binaries()[0].Data, jpeg);
  }
}

TEST_F(EmbedImageTest, BrokenPicturesRaiseTheDecodeError) {
  const std::string jpeg = fixtures::PatternJpeg(100, 100);
  const std::string png = fixtures::PatternPng(100, 100);
  source_.Write("cut.jpg", jpeg.substr(0, jpeg.size() - 300));
  source_.Write("cut.png", png.substr(0, png.size() / 2));
  source_.Write("cut.gif", fixtures::PatternGif(100, 100).substr(0, 900));
  source_.Write("text.jpg", "this is no picture");
  for (const char* name : {"cut.jpg", "cut.png", "cut.gif", "text.jpg"}) {
    EXPECT_THROW(EmbedAll(std::string("<img src=") + name + ">"), images::ImageDecodeError) << name;
  }
  EXPECT_EQ(binaries_, "");
}

TEST_F(EmbedImageTest, EveryConversionStartsItsOwnPictureList) {
  source_.Write("a.jpg", fixtures::PatternJpeg(8, 8));
  images::ImageEmbedder embedder({}, source_.Path(), scratch_);
  embedder.BeginConversion();
  EmbedWith(embedder, "<img src=a.jpg>");
  embedder.BeginConversion();
  EmbedWith(embedder, "<img src=a.jpg>");
  EXPECT_EQ(Binaries().size(), 2u);
  EXPECT_EQ(embedder.ImageSets().size(), 1u);
}

TEST_F(EmbedImageTest, WithoutASourceFolderPathsStayRelative) {
  source_.Write("rel.jpg", fixtures::PatternJpeg(8, 8));
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(source_.Path());
  images::ImageEmbedder embedder({}, "", scratch_);
  const std::string refs = EmbedWith(embedder, "<img src=rel.jpg>");
  std::filesystem::current_path(old);
  EXPECT_EQ(refs, "<image xlink:href=\"#rel.jpg\"/>");
  EXPECT_EQ(embedder.ImageSets().at(0).SourceFile, "rel.jpg");
}

}  // namespace
