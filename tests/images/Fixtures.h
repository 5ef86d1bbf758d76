#pragma once
// Pictures made on the fly for the picture tests, and helpers to read back what was embedded.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "images/JpegCodec.h"
#include "images/PngCodec.h"
#include "images/Raster.h"
#include "support/Xml.h"

namespace fixtures {

// Smooth colour ramps and waves: JPEG keeps them close, scaling keeps their average.
inline images::Raster Pattern(int width, int height) {
  images::Raster r(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = r.Pixel(x, y);
      p[0] = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
      p[1] = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));
      p[2] = static_cast<uint8_t>(128 + 100 * std::sin((x + y) / 23.0));
    }
  }
  return r;
}

// Rewrites the frame size in a baseline JPEG's start-of-frame marker.
inline std::string WithJpegSize(std::string jpeg, uint16_t width, uint16_t height) {
  const size_t sof = jpeg.find("\xff\xc0");
  jpeg[sof + 5] = static_cast<char>(height >> 8);
  jpeg[sof + 6] = static_cast<char>(height & 0xff);
  jpeg[sof + 7] = static_cast<char>(width >> 8);
  jpeg[sof + 8] = static_cast<char>(width & 0xff);
  return jpeg;
}

// The largest difference of any sample between two pictures of the same size.
inline int MaxDifference(const images::Raster& a, const images::Raster& b) {
  int worst = 0;
  for (size_t i = 0; i < a.Rgb.size() && i < b.Rgb.size(); ++i) {
    worst = std::max(worst, std::abs(int{a.Rgb[i]} - int{b.Rgb[i]}));
  }
  return worst;
}

// The mean absolute difference per sample.
inline double MeanDifference(const images::Raster& a, const images::Raster& b) {
  double sum = 0;
  for (size_t i = 0; i < a.Rgb.size(); ++i) sum += std::abs(int{a.Rgb[i]} - int{b.Rgb[i]});
  return a.Rgb.empty() ? 0 : sum / static_cast<double>(a.Rgb.size());
}

// A GIF of indexed pixels (row by row) with a palette of up to 256 colours.
struct GifPicture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Indexes;
  std::vector<GifColorType> Palette;
  bool Interlace = false;
  int Transparent = -1;
  int ScreenWidth = 0, ScreenHeight = 0;  // 0: the frame's size
  int Left = 0, Top = 0;
};

inline int AppendGifBytes(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)
      ->append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
  return length;
}

inline std::string EncodeGif(const GifPicture& picture) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendGifBytes, &error);
  if (!gif) throw std::runtime_error("EGifOpen failed");
  std::vector<GifColorType> colors = picture.Palette;
  int size = 2;
  while (size < static_cast<int>(colors.size())) size *= 2;
  colors.resize(static_cast<size_t>(size), GifColorType{0, 0, 0});
  ColorMapObject* map = GifMakeMapObject(size, colors.data());
  const int screenW = picture.ScreenWidth ? picture.ScreenWidth : picture.Width;
  const int screenH = picture.ScreenHeight ? picture.ScreenHeight : picture.Height;
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, screenW, screenH, 8, 0, map) == GIF_OK;
  if (ok && picture.Transparent >= 0) {
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = picture.Transparent;
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext) == GIF_OK;
  }
  ok = ok && EGifPutImageDesc(gif, picture.Left, picture.Top, picture.Width, picture.Height,
                              picture.Interlace, nullptr) == GIF_OK;
  std::vector<int> order;
  if (picture.Interlace) {
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = start[pass]; y < picture.Height; y += step[pass]) order.push_back(y);
    }
  } else {
    for (int y = 0; y < picture.Height; ++y) order.push_back(y);
  }
  std::vector<GifPixelType> line(static_cast<size_t>(picture.Width));
  for (int y : order) {
    if (!ok) break;
    std::copy_n(&picture.Indexes[static_cast<size_t>(y) * picture.Width], picture.Width,
                line.begin());
    ok = EGifPutLine(gif, line.data(), picture.Width) == GIF_OK;
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  if (!ok) throw std::runtime_error("GIF encoding failed");
  return out;
}

// A GIF of the pattern, quantised to a 6x6x6 colour cube; also returns the expected RGB.
inline std::string PatternGif(int width, int height, images::Raster* expected = nullptr,
                              bool interlace = false) {
  GifPicture g;
  g.Width = width;
  g.Height = height;
  g.Interlace = interlace;
  for (int i = 0; i < 216; ++i) {
    g.Palette.push_back({static_cast<GifByteType>(i / 36 * 51),
                         static_cast<GifByteType>(i / 6 % 6 * 51),
                         static_cast<GifByteType>(i % 6 * 51)});
  }
  const images::Raster source = Pattern(width, height);
  if (expected) *expected = images::Raster(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = source.Pixel(x, y);
      const int r = (p[0] + 25) / 51, gr = (p[1] + 25) / 51, b = (p[2] + 25) / 51;
      const int index = r * 36 + gr * 6 + b;
      g.Indexes.push_back(static_cast<uint8_t>(index));
      if (expected) {
        uint8_t* e = expected->Pixel(x, y);
        e[0] = static_cast<uint8_t>(r * 51);
        e[1] = static_cast<uint8_t>(gr * 51);
        e[2] = static_cast<uint8_t>(b * 51);
      }
    }
  }
  return EncodeGif(g);
}

inline std::string PatternJpeg(int width, int height) {
  return images::EncodeJpeg(Pattern(width, height), 90);
}
inline std::string PatternPng(int width, int height) {
  return images::EncodePng(Pattern(width, height), 6);
}

// A folder of its own for one test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vellumor-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // With the trailing "/".
  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, std::string_view bytes) const {
    const std::string path = path_ + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testsupport::WriteFile(path, bytes);
    return path;
  }
  // The names of the regular files directly inside.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) {
      if (e.is_regular_file()) names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

// Standard Base64 decoding for checking encoded data; throws on a byte outside the alphabet.
inline std::string DecodeBase64(std::string_view text) {
  auto value = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    throw std::runtime_error("not Base64");
  };
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') break;
    bits = (bits << 6) | static_cast<uint32_t>(value(c));
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xff);
    }
  }
  return out;
}

// One binary element as written: content type, id and the decoded data.
struct Binary {
  std::string Type, Id, Data;
};

// Every binary element of the text, checking that each has the exact written form.
inline std::vector<Binary> ParseBinaries(std::string_view text) {
  std::vector<Binary> out;
  size_t pos = 0;
  const std::string_view open = "<binary content-type=\"image/";
  while ((pos = text.find(open, pos)) != std::string_view::npos) {
    Binary b;
    const size_t typeEnd = text.find('"', pos + open.size());
    b.Type = std::string(text.substr(pos + open.size(), typeEnd - pos - open.size()));
    const size_t idStart = text.find("id=\"", typeEnd) + 4;
    const size_t idEnd = text.find("\">", idStart);
    b.Id = std::string(text.substr(idStart, idEnd - idStart));
    const size_t dataStart = idEnd + 2;
    const size_t dataEnd = text.find("\r\n</binary>\r\n", dataStart);
    if (dataEnd == std::string_view::npos) throw std::runtime_error("binary not closed");
    const std::string_view data = text.substr(dataStart, dataEnd - dataStart);
    if (data.find_first_of("\r\n") != std::string_view::npos) {
      throw std::runtime_error("line break inside the Base64 text");
    }
    b.Data = DecodeBase64(data);
    out.push_back(std::move(b));
    pos = dataEnd;
  }
  return out;
}

}  // namespace fixtures
