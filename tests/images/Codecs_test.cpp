// Decoding, encoding and the refusal of broken or oversized pictures, for the three kinds.

#include <gtest/gtest.h>
#include <png.h>
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <zlib.h>
#include <array>
#include <functional>

#include "Fixtures.h"
#include "images/AreaScaler.h"
#include "images/GifCodec.h"
#include "images/JpegCodec.h"
#include "images/PngCodec.h"

namespace {

using images::ImageDecodeError;
using images::Raster;

TEST(JpegCodec, RoundTripsSizeAndPixels) {
  const Raster source = fixtures::Pattern(123, 77);
  const std::string bytes = images::EncodeJpeg(source, 90);
  EXPECT_EQ(images::ReadJpegSize(bytes), (images::PictureSize{123, 77}));
  const Raster back = images::DecodeJpeg(bytes);
  ASSERT_EQ(back.Width, 123);
  ASSERT_EQ(back.Height, 77);
  EXPECT_LT(fixtures::MeanDifference(back, source), 3.0);
}

TEST(JpegCodec, WritesBaselineAtTheRequestedQuality) {
  const std::string high = images::EncodeJpeg(fixtures::Pattern(64, 64), 90);
  const std::string low = images::EncodeJpeg(fixtures::Pattern(64, 64), 20);
  EXPECT_GT(high.size(), low.size());
  // Start of frame, baseline DCT.
  EXPECT_NE(high.find("\xff\xc0"), std::string::npos);
  EXPECT_EQ(high.find("\xff\xc2"), std::string::npos);
}

TEST(JpegCodec, ScaledDecodeMatchesScalingTheFullPicture) {
  const Raster source = fixtures::Pattern(1000, 750);
  const std::string bytes = images::EncodeJpeg(source, 90);
  // 1/8, 1/4, 1/2 and full-size decoding before the box filter.
  for (auto [w, h] : {std::pair{100, 75}, {200, 150}, {450, 300}, {580, 435}, {999, 1}}) {
    const Raster scaled = images::DecodeJpegScaled(bytes, w, h);
    ASSERT_EQ(scaled.Width, w);
    ASSERT_EQ(scaled.Height, h);
    const Raster reference = images::ScaleArea(images::DecodeJpeg(bytes), w, h);
    EXPECT_LT(fixtures::MeanDifference(scaled, reference), 2.0) << w << "x" << h;
    EXPECT_LT(fixtures::MeanDifference(scaled, images::ScaleArea(source, w, h)), 3.0);
  }
}

// Encodes a JPEG with the given input colour space straight through libjpeg.
std::string EncodeRawJpeg(int width, int height, J_COLOR_SPACE space, int components,
                          const std::function<void(int x, int y, JSAMPLE* px)>& pixel) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width * components));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixel(x, y, &row[static_cast<size_t>(x * components)]);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

TEST(JpegCodec, DecodesGreyAndCmykAsRgb) {
  const std::string grey =
      EncodeRawJpeg(16, 16, JCS_GRAYSCALE, 1, [](int, int, JSAMPLE* p) { p[0] = 100; });
  Raster g = images::DecodeJpeg(grey);
  EXPECT_LE(fixtures::MaxDifference(g, Raster(16, 16, 100)), 2);

  // CMYK files carry an Adobe marker and store the inks inverted, as Photoshop writes them:
  // half cyan on no black gives a light cyan.
  const std::string cmyk = EncodeRawJpeg(16, 16, JCS_CMYK, 4, [](int, int, JSAMPLE* p) {
    p[0] = 127;
    p[1] = 255;
    p[2] = 255;
    p[3] = 255;
  });
  const Raster c = images::DecodeJpeg(cmyk);
  const uint8_t* px = c.Pixel(8, 8);
  EXPECT_NEAR(px[0], 127, 3);
  EXPECT_NEAR(px[1], 255, 3);
  EXPECT_NEAR(px[2], 255, 3);
}

TEST(PngCodec, RoundTripsExactly) {
  const Raster source = fixtures::Pattern(97, 41);
  const std::string bytes = images::EncodePng(source, 8);
  EXPECT_EQ(images::ReadPngSize(bytes), (images::PictureSize{97, 41}));
  const Raster back = images::DecodePng(bytes);
  ASSERT_EQ(back.Width, 97);
  ASSERT_EQ(back.Height, 41);
  EXPECT_EQ(back.Rgb, source.Rgb);
}

struct PngSpec {
  int ColorType;
  int BitDepth;
  int Interlace;
};

// The colour of column x in the pictures of EncodeFormPng: grey forms and the grey palette give
// x * 85 in every channel; RGBA sets the three channels apart, so that a swap shows.
std::array<int, 3> FormColour(const PngSpec& form, int x) {
  const int level = x * 85;
  if (form.ColorType == PNG_COLOR_TYPE_RGBA) return {level, 255 - level, level / 2};
  return {level, level, level};
}

// A 4x2 PNG of the given form: column x has the colour FormColour, row 1 fully transparent.
std::string EncodeFormPng(const PngSpec& form) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep d, png_size_t n) {
        static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(d), n);
      },
      nullptr);
  png_set_IHDR(png, info, 4, 2, form.BitDepth, form.ColorType, form.Interlace,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[4];
  png_byte alpha[4] = {255, 255, 255, 0};
  if (form.ColorType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < 4; ++i) {
      const auto v = static_cast<png_byte>(i * 85);
      palette[i] = {v, v, v};
    }
    png_set_PLTE(png, info, palette, 4);
    png_set_tRNS(png, info, alpha, 4, nullptr);
  }
  png_write_info(png, info);
  const int channels = form.ColorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                       : form.ColorType == PNG_COLOR_TYPE_RGBA     ? 4
                                                                   : 1;
  const int bytesPerSample = form.BitDepth == 16 ? 2 : 1;
  std::vector<std::vector<png_byte>> rows(2);
  for (int y = 0; y < 2; ++y) {
    auto& row = rows[static_cast<size_t>(y)];
    for (int x = 0; x < 4; ++x) {
      if (form.ColorType == PNG_COLOR_TYPE_PALETTE) {
        row.push_back(static_cast<png_byte>(y == 1 ? 3 : x));
        continue;
      }
      const int color = form.ColorType == PNG_COLOR_TYPE_RGBA ? 3 : 1;
      for (int c = 0; c < channels; ++c) {
        const int v = c < color ? FormColour(form, x)[static_cast<size_t>(c)] : (y == 1 ? 0 : 255);
        for (int b = 0; b < bytesPerSample; ++b) row.push_back(static_cast<png_byte>(v));
      }
    }
  }
  if (form.ColorType == PNG_COLOR_TYPE_PALETTE && form.BitDepth < 8) png_set_packing(png);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass) {
    for (auto& row : rows) png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST(PngCodec, ExpandsEveryFormAndLaysTransparencyOverWhite) {
  const PngSpec specs[] = {
      {PNG_COLOR_TYPE_PALETTE, 8, PNG_INTERLACE_NONE},
      {PNG_COLOR_TYPE_PALETTE, 2, PNG_INTERLACE_NONE},
      {PNG_COLOR_TYPE_GRAY_ALPHA, 8, PNG_INTERLACE_NONE},
      {PNG_COLOR_TYPE_GRAY_ALPHA, 16, PNG_INTERLACE_ADAM7},
      {PNG_COLOR_TYPE_RGBA, 8, PNG_INTERLACE_ADAM7},
      {PNG_COLOR_TYPE_RGBA, 16, PNG_INTERLACE_NONE},
  };
  for (const PngSpec& form : specs) {
    SCOPED_TRACE(testing::Message() << "color type " << form.ColorType << " depth " << form.BitDepth
                                    << " interlace " << form.Interlace);
    const Raster r = images::DecodePng(EncodeFormPng(form));
    ASSERT_EQ(r.Width, 4);
    ASSERT_EQ(r.Height, 2);
    for (int x = 0; x < 4; ++x) {
      const std::array<int, 3> colour = FormColour(form, x);
      for (size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(r.Pixel(x, 0)[c], colour[c]) << "column " << x << " channel " << c;
        EXPECT_EQ(r.Pixel(x, 1)[c], 255) << "transparent pixels become white";
      }
    }
  }
}

TEST(GifCodec, DecodesTheFirstFrame) {
  for (bool interlace : {false, true}) {
    Raster expected;
    const std::string bytes = fixtures::PatternGif(40, 21, &expected, interlace);
    const Raster r = images::DecodeGif(bytes);
    ASSERT_EQ(r.Width, 40);
    ASSERT_EQ(r.Height, 21);
    EXPECT_EQ(r.Rgb, expected.Rgb) << "interlaced " << interlace;
  }
}

TEST(GifCodec, PlacesTheFrameOnTheScreenAndWhitensTransparency) {
  fixtures::GifPicture g;
  g.Width = 2;
  g.Height = 1;
  g.ScreenWidth = 4;
  g.ScreenHeight = 2;
  g.Left = 1;
  g.Top = 1;
  g.Palette = {{10, 20, 30}, {0, 0, 0}};
  g.Indexes = {0, 1};
  g.Transparent = 1;
  const Raster r = images::DecodeGif(fixtures::EncodeGif(g));
  ASSERT_EQ(r.Width, 4);
  ASSERT_EQ(r.Height, 2);
  EXPECT_EQ(r.Pixel(1, 1)[0], 10);
  EXPECT_EQ(r.Pixel(1, 1)[2], 30);
  EXPECT_EQ(r.Pixel(2, 1)[0], 255) << "transparent";
  EXPECT_EQ(r.Pixel(0, 0)[0], 255) << "outside the frame";
}

// Rewrites the width and height of a PNG's header chunk, with its checksum.
std::string WithPngSize(std::string png, uint32_t width, uint32_t height) {
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<char>(v >> (24 - 8 * i));
  };
  put(16, width);
  put(20, height);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
  put(29, static_cast<uint32_t>(crc));
  return png;
}

// A well-formed PNG whose image data holds only the first rows of the picture.
std::string ShortImageDataPng() {
  const std::string full = fixtures::PatternPng(16, 16);
  std::string raw;
  for (int y = 0; y < 8; ++y) raw += '\0' + std::string(16 * 3, '\x40');  // half the rows
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
           reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
  packed.resize(packedSize);
  std::string chunk = "IDAT" + packed;
  const uLong crc =
      crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size()));
  auto be = [](uint32_t v) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(v >> (24 - 8 * i));
    return out;
  };
  const std::string iend = full.substr(full.size() - 12);
  return full.substr(0, 33) + be(static_cast<uint32_t>(packed.size())) + chunk +
         be(static_cast<uint32_t>(crc)) + iend;
}

struct BrokenCase {
  const char* Name;
  std::string Bytes;
  std::function<void(const std::string&)> Decode;
};

TEST(Codecs, BrokenTruncatedAndOversizedPicturesRaiseTheDecodeError) {
  const std::string jpeg = fixtures::PatternJpeg(256, 192);
  const size_t entropy = jpeg.find("\xff\xda");  // the data follows the scan header
  const size_t middle = entropy + (jpeg.size() - entropy) / 2;
  const std::string png = fixtures::PatternPng(64, 48);
  const std::string gif = fixtures::PatternGif(64, 48);
  auto decodeJpeg = [](const std::string& b) { (void)images::DecodeJpeg(b); };
  auto scaleJpeg = [](const std::string& b) { (void)images::DecodeJpegScaled(b, 8, 6); };
  auto decodePng = [](const std::string& b) { (void)images::DecodePng(b); };
  auto decodeGif = [](const std::string& b) { (void)images::DecodeGif(b); };
  std::string cut = jpeg;  // an end marker in the middle of the entropy data
  cut.replace(middle, 2, "\xff\xd9");
  std::string badTable = jpeg;  // a Huffman table segment of impossible length
  badTable[badTable.find("\xff\xc4") + 3] = 1;
  std::string badCrc = png;
  badCrc[40] ^= 0x55;  // inside the image data chunk

  const BrokenCase cases[] = {
      {"empty jpeg", "", decodeJpeg},
      {"text as jpeg", "not a picture at all", decodeJpeg},
      {"truncated jpeg", jpeg.substr(0, middle), decodeJpeg},
      {"truncated jpeg, scaled", jpeg.substr(0, middle), scaleJpeg},
      {"jpeg without its end marker", jpeg.substr(0, jpeg.size() - 2), decodeJpeg},
      {"header only jpeg", jpeg.substr(0, 200), decodeJpeg},
      {"jpeg data cut short by a marker", cut, decodeJpeg},
      {"jpeg with a bogus table", badTable, decodeJpeg},
      {"jpeg over 100 Mpx", fixtures::WithJpegSize(jpeg, 65000, 2000), decodeJpeg},
      {"empty png", "", decodePng},
      {"truncated png", png.substr(0, png.size() / 2), decodePng},
      {"png without its end", png.substr(0, png.size() - 20), decodePng},
      {"png with a bad checksum", badCrc, decodePng},
      {"png with too little image data", ShortImageDataPng(), decodePng},
      {"png wider than 65535", WithPngSize(png, 70000, 10), decodePng},
      {"png over 100 Mpx", WithPngSize(png, 20000, 20000), decodePng},
      {"empty gif", "", decodeGif},
      {"gif signature only", "GIF89a", decodeGif},
      {"truncated gif", gif.substr(0, gif.size() / 2), decodeGif},
      {"gif without a frame", gif.substr(0, 13 + 3 * 256) + ";", decodeGif},
  };
  for (const BrokenCase& c : cases) {
    EXPECT_THROW(c.Decode(c.Bytes), ImageDecodeError) << c.Name;
  }
  EXPECT_THROW((void)images::ReadPngSize(WithPngSize(png, 70000, 10)), ImageDecodeError);
  EXPECT_THROW((void)images::ReadJpegSize(fixtures::WithJpegSize(jpeg, 65000, 2000)),
               ImageDecodeError);
}

}  // namespace
