#pragma once
// A decoded picture: 8-bit RGB, rows top to bottom, no padding.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace images {

struct Raster {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Rgb;  // Width * Height * 3 bytes

  Raster() = default;
  Raster(int width, int height, uint8_t fill = 255)
      : Width(width), Height(height), Rgb(static_cast<size_t>(width) * height * 3, fill) {}
  uint8_t* Pixel(int x, int y) { return &Rgb[(static_cast<size_t>(y) * Width + x) * 3]; }
  const uint8_t* Pixel(int x, int y) const {
    return &Rgb[(static_cast<size_t>(y) * Width + x) * 3];
  }
};

}  // namespace images
