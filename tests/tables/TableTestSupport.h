#pragma once
// Helpers for the table renderer's tests: a fixed-pitch stand-in for the font, PNG decoding,
// and a look at single pixels.

#include <png.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "images/Raster.h"
#include "tables/TableCanvas.h"
#include "tables/TextMetrics.h"

namespace tables::testing {

// Every character but control characters is `Pitch` pixels wide; lines are 10 pixels high.
class FixedMetrics : public TextMetrics {
 public:
  static constexpr int Pitch = 6;
  int64_t TextWidth(std::u32string_view line) const override {
    int64_t width = 0;
    for (char32_t c : line) width += c < 32 ? 0 : Pitch;
    return width;
  }
  int TextHeight() const override { return 10; }
};

// Decodes PNG bytes into RGB; nothing when they are not a PNG.
inline std::optional<images::Raster> DecodePng(std::string_view bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  images::Raster raster(static_cast<int>(image.width), static_cast<int>(image.height));
  if (!png_image_finish_read(&image, nullptr, raster.Rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return raster;
}

inline Rgb PixelAt(const images::Raster& r, int x, int y) {
  const uint8_t* p = r.Pixel(x, y);
  return {p[0], p[1], p[2]};
}

inline bool IsWhite(const images::Raster& r, int x, int y) {
  return PixelAt(r, x, y) == kWhite;
}
inline bool IsBlack(const images::Raster& r, int x, int y) {
  return PixelAt(r, x, y) == kBlack;
}
// Darker than mid grey: ink of a glyph or a line.
inline bool IsInk(const images::Raster& r, int x, int y) {
  return r.Pixel(x, y)[0] < 128;
}

}  // namespace tables::testing
