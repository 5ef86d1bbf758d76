#pragma once
// Clipped drawing onto a horizontal band of a larger picture: a band of full width whose first
// row is row `Top` of the whole picture. Coordinates are those of the whole picture.

#include <cstdint>

#include "images/Raster.h"

namespace tables {

struct Rgb {
  uint8_t R = 0, G = 0, B = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

class Canvas {
 public:
  Canvas(images::Raster& band, int64_t top) : band_(band), top_(top) {}

  int64_t Top() const { return top_; }
  int64_t Bottom() const { return top_ + band_.Height; }  // one past the last row
  int64_t Width() const { return band_.Width; }

  // The rectangle [x0, x1) x [y0, y1), clipped.
  void FillRect(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Rgb colour);
  // One-pixel lines from the start point up to, not including, the end point.
  void HorizontalLine(int64_t x0, int64_t x1, int64_t y, Rgb colour) {
    FillRect(x0, y, x1, y + 1, colour);
  }
  void VerticalLine(int64_t x, int64_t y0, int64_t y1, Rgb colour) {
    FillRect(x, y0, x + 1, y1, colour);
  }
  // Mixes `colour` into the pixel with coverage 0-255; outside the band nothing happens.
  void Blend(int64_t x, int64_t y, Rgb colour, uint8_t coverage);

 private:
  images::Raster& band_;
  int64_t top_;
};

}  // namespace tables
