// Picture files that are not what they seem: huge sparse files, headers that announce more
// pixels than any book needs, pipes and devices named like pictures. Each is refused before it
// is read, with its file named; one that is missing or unreadable is reported and left out.

#include <gtest/gtest.h>

#include <functional>

#include "Fixtures.h"
#include "images/Base64.h"
#include "images/CoverImage.h"
#include "images/ImageEmbedder.h"
#include "images/ImagesTab.h"
#include "images/PictureFiles.h"
#include "images/PictureHeader.h"
#include "platform/HostileFiles.h"
#include "platform/ScratchFolder.h"

namespace {

using images::ImageDecodeError;
using images::ImageError;

std::string BigEndian32(uint32_t v) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(v >> (24 - 8 * i));
  return out;
}

// A JPEG with an application segment of `padding` bytes before its frame header, as cameras
// write their metadata and thumbnails.
std::string WithSegmentBeforeFrame(const std::string& jpeg, size_t padding) {
  std::string out = jpeg.substr(0, 2);
  size_t left = padding;
  while (left > 0) {  // segments hold at most 65533 bytes each
    const size_t n = std::min<size_t>(left, 65533);
    out += "\xff\xe1";
    out += static_cast<char>((n + 2) >> 8);
    out += static_cast<char>((n + 2) & 0xff);
    out += std::string(n, 'e');
    left -= n;
  }
  return out + jpeg.substr(2);
}

struct HeaderCase {
  const char* Name;
  std::string Bytes;
  std::optional<std::pair<int64_t, int64_t>> Size;
  const char* Kind;
};

TEST(PictureHeader, FindsTheAnnouncedSizeReadingOnlyTheHeader) {
  const std::string jpeg = fixtures::PatternJpeg(40, 30);
  const std::string png = fixtures::PatternPng(17, 9);
  const std::string gif = fixtures::PatternGif(21, 5);
  const std::string padded = WithSegmentBeforeFrame(jpeg, 5'000'000);
  std::string filled = jpeg;  // fill bytes before a marker are allowed
  filled.insert(2, "\xff\xff");
  const HeaderCase cases[] = {
      {"jpeg", jpeg, std::pair{40, 30}, "JPEG"},
      {"jpeg over 100 Mpx", fixtures::WithJpegSize(jpeg, 60000, 60000), std::pair{60000, 60000},
       "JPEG"},
      {"jpeg with 5 MB before its frame", padded, std::pair{40, 30}, "JPEG"},
      {"jpeg with fill bytes", filled, std::pair{40, 30}, "JPEG"},
      {"png", png, std::pair{17, 9}, "PNG"},
      {"png of 4 billion columns", png.substr(0, 16) + BigEndian32(0xFFFFFFFF) + png.substr(20),
       std::pair{int64_t{0xFFFFFFFF}, 9}, "PNG"},
      {"gif", gif, std::pair{21, 5}, "GIF"},
      {"jpeg cut in its header", jpeg.substr(0, 30), std::nullopt, nullptr},
      {"jpeg with its scan before a frame", "\xff\xd8\xff\xda\x00\x02", std::nullopt, nullptr},
      {"png without its header chunk", png.substr(0, 20), std::nullopt, nullptr},
      {"text", "<html>not a picture</html>", std::nullopt, nullptr},
      {"empty", "", std::nullopt, nullptr},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.Name);
    size_t read = 0;
    const auto header = images::ScanPictureHeader([&](uint64_t offset, size_t count) {
      read += count;
      return offset >= c.Bytes.size() ? std::string() : c.Bytes.substr(offset, count);
    });
    ASSERT_EQ(header.has_value(), c.Size.has_value());
    if (!header) continue;
    EXPECT_EQ(header->Width, c.Size->first);
    EXPECT_EQ(header->Height, c.Size->second);
    EXPECT_STREQ(header->Kind, c.Kind);
    EXPECT_LT(read, 2000u) << "segments are skipped, not read";
  }
}

struct HostilePicture {
  const char* Name;
  std::function<bool(const std::string& path)> Make;
  bool Undecodable;     // ImageDecodeError, else ImageError
  std::string Message;  // "%" stands for the path
};

std::string WithPath(std::string message, const std::string& path) {
  const size_t at = message.find('%');
  if (at != std::string::npos) message.replace(at, 1, path);
  return message;
}

// Every way of reading a picture file refuses these before reading them, with small memory: a
// 2 GiB sparse file used to be read whole (2 GiB and 16 s), one under the limit whose header
// announces too many pixels was read whole before its header was looked at.
TEST(PictureFiles, RefusesHugeFilesAndHugeHeadersBeforeReadingThem) {
  fixtures::TempDir dir;
  const std::string jpeg = fixtures::PatternJpeg(16, 16);
  const std::string png = fixtures::PatternPng(16, 16);
  const auto sparse = [](std::string start, uint64_t size) {
    return [start, size](const std::string& p) {
      hostile::MakeSparse(p, start, size);
      return true;
    };
  };
  const HostilePicture cases[] = {
      {"huge.jpg", sparse(jpeg.substr(0, 600), uint64_t{2} << 30), true,
       "Cannot open file \"%\". The file is too large: 2 GiB, more than the limit of 256 MiB."},
      {"huge-header.jpg",
       sparse(fixtures::WithJpegSize(jpeg, 60000, 60000).substr(0, 600), 200 << 20), true,
       "Picture \"%\": JPEG picture is too large (60000 x 60000)"},
      {"wide.png",
       sparse(png.substr(0, 16) + BigEndian32(70000) + BigEndian32(10) + png.substr(24), 200 << 20),
       true, "Picture \"%\": PNG picture is too large (70000 x 10)"},
      {"screen.gif",
       sparse(std::string("GIF89a\xff\xff\xff\xff", 10) + std::string(3, '\0'), 200 << 20), true,
       "Picture \"%\": GIF picture is too large (65535 x 65535)"},
      {"pipe.jpg", [](const std::string& p) { return hostile::MakeFifo(p); }, false,
       "Cannot open file \"%\". It is a named pipe (FIFO), not a regular file."},
      {"zeros.png",
       [&dir](const std::string& p) {
         return hostile::MakeCharDevice(dir.Path() + "zero", 1, 5) &&
                ::symlink((dir.Path() + "zero").c_str(), p.c_str()) == 0;
       },
       false, "Cannot open file \"%\". It is a character device, not a regular file."},
      {"folder.gif", [](const std::string& p) { return std::filesystem::create_directory(p); },
       false, "Cannot open file \"%\". It is a folder, not a file."},
      {"missing.jpg", [](const std::string&) { return true; }, false,
       "Cannot open file \"%\". No such file or directory"},
  };
  const uint64_t peakBefore = hostile::PeakMemory();
  for (const HostilePicture& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = dir.Path() + c.Name;
    ASSERT_TRUE(c.Make(path)) << std::strerror(errno);
    const std::string expected = WithPath(c.Message, path);
    for (const bool whole : {false, true}) {
      try {
        if (whole)
          (void)images::ReadPictureFile(path);
        else
          images::CheckPictureFile(path);
        ADD_FAILURE() << "not refused";
      } catch (const ImageDecodeError& e) {
        EXPECT_TRUE(c.Undecodable) << e.what();
        EXPECT_EQ(e.what(), expected);
      } catch (const ImageError& e) {
        EXPECT_FALSE(c.Undecodable) << e.what();
        EXPECT_EQ(e.what(), expected);
      }
    }
    // What cannot even be opened is not encoded either (a header is the decoders' business).
    if (c.Message.starts_with("Cannot open file")) {
      EXPECT_EQ(images::EncodeFileBase64(path), "") << "nothing is encoded";
    }
  }
  EXPECT_LT(hostile::PeakMemory(), peakBefore + (64 << 20)) << "no file was read whole";
}

class HostileEmbedTest : public ::testing::Test {
 protected:
  std::string Embed(std::string_view html, images::PictureOptions options = {}) {
    images::ImageEmbedder embedder(options, source_.Path(), scratch_,
                                   [this](std::string_view m) { reported_.emplace_back(m); });
    embedder.BeginConversion();
    parser_.Source() = "<body>" + std::string(html);
    parser_.Parse();
    std::string refs;
    for (engine::ItemRef item : parser_) {
      if (item.IsTag()) refs += embedder.Embed(item.AsTag(), binaries_);
    }
    return refs;
  }

  fixtures::TempDir source_;
  platform::ScratchFolder scratch_;
  engine::THTMLParser parser_;
  std::string binaries_;
  std::vector<std::string> reported_;
};

// Missing and unreadable pictures used to vanish from the book without a word.
TEST_F(HostileEmbedTest, MissingAndUnreadablePicturesAreReportedAndLeftOut) {
  source_.Write("ok.jpg", fixtures::PatternJpeg(8, 8));
  ASSERT_TRUE(hostile::MakeFifo(source_.Path() + "pipe.png"));
  ASSERT_TRUE(hostile::MakeCharDevice(source_.Path() + "zero.gif", 1, 5));
  std::filesystem::create_directory(source_.Path() + "dir.jpg");
  const std::string refs = Embed(
      "<img src=missing.jpg><img src=pipe.png><img src=ok.jpg><img src=zero.gif>"
      "<img src=dir.jpg><img src=missing.jpg><img src=other.bmp>");
  EXPECT_EQ(refs, "<image xlink:href=\"#ok.jpg\"/>") << "the conversion goes on";
  EXPECT_EQ(fixtures::ParseBinaries(binaries_).size(), 1u);
  const std::string& folder = source_.Path();
  EXPECT_EQ(reported_,
            (std::vector<std::string>{
                "Cannot open file \"" + folder +
                    "missing.jpg\". No such file or directory. The picture is left out.",
                "Cannot open file \"" + folder +
                    "pipe.png\". It is a named pipe (FIFO), not a regular file. The picture is "
                    "left out.",
                "Cannot open file \"" + folder +
                    "zero.gif\". It is a character device, not a regular file. The picture is "
                    "left out.",
                "Cannot open file \"" + folder +
                    "dir.jpg\". It is a folder, not a file. The picture is left out.",
            }))
      << "once per picture; kinds never embedded are not looked for";
}

// A picture too large or broken ends the conversion, its message naming the file, whether it is
// scaled, converted or embedded as it is.
TEST_F(HostileEmbedTest, DecodeErrorsNameThePicturesFile) {
  const std::string jpeg = fixtures::PatternJpeg(100, 100);
  hostile::MakeSparse(source_.Path() + "huge.jpg", jpeg.substr(0, 600), uint64_t{2} << 30);
  source_.Write("cut.jpg", jpeg.substr(0, jpeg.size() / 2));
  source_.Write("cut.png", fixtures::PatternPng(100, 100).substr(0, 200));
  source_.Write("cut.gif", fixtures::PatternGif(100, 100).substr(0, 100));
  images::PictureOptions off;
  off.ResizeImages = false;
  struct Case {
    const char* Name;
    images::PictureOptions Options;
    const char* Start;
  };
  const Case cases[] = {
      {"huge.jpg", {}, "Cannot open file \"%\". The file is too large: 2 GiB"},
      {"huge.jpg", off, "Cannot open file \"%\". The file is too large: 2 GiB"},
      {"cut.jpg", {}, "Picture \"%\": JPEG picture cannot be decoded: "},
      {"cut.png", {}, "Picture \"%\": PNG picture cannot be decoded: "},
      {"cut.gif", off, "Picture \"%\": GIF picture cannot be decoded: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      Embed(std::string("<img src=") + c.Name + ">", c.Options);
      ADD_FAILURE() << "no error";
    } catch (const ImageDecodeError& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with(WithPath(c.Start, source_.Path() + c.Name)))
          << e.what();
    }
  }
  EXPECT_TRUE(reported_.empty());
}

// The "Images" tab and the batch picture window report what they leave out: one message for a
// whole batch, a line per picture.
TEST(ImagesTabReports, PicturesLeftOutAreReportedOnce) {
  fixtures::TempDir dir;
  platform::ScratchFolder scratch;
  dir.Write("a.jpg", fixtures::PatternJpeg(6, 6));
  ASSERT_TRUE(hostile::MakeFifo(dir.Path() + "pipe.png"));
  images::ImagesTabPanes panes;
  std::vector<std::string> reported;
  const images::PictureProblemFn report = [&reported](std::string_view m) {
    reported.emplace_back(m);
  };
  ASSERT_TRUE(images::StartBatchPictures(
      panes, {{"missing.jpg", true}, {"a.jpg", true}, {"pipe.png", true}}, dir.Path(), {}, scratch,
      {}, report));
  EXPECT_EQ(panes.Refs, "\r\n<image xlink:href=\"#a.jpg\"/>");
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], "Cannot open file \"" + dir.Path() +
                             "missing.jpg\". No such file or directory. The picture is left out.\n"
                             "Cannot open file \"" +
                             dir.Path() +
                             "pipe.png\". It is a named pipe (FIFO), not a regular file. The "
                             "picture is left out.");

  reported.clear();
  images::LoadPictureCommand(panes, dir.Path() + "gone.png", {}, scratch, report);
  EXPECT_EQ(panes.Refs, "");
  EXPECT_EQ(reported.size(), 1u);
  reported.clear();
  const images::EmbeddedPicture cover =
      images::PrepareCoverImage(dir.Path() + "pipe.png", {}, scratch, report);
  EXPECT_TRUE(cover.Empty());
  EXPECT_EQ(reported.size(), 1u);
}

}  // namespace
