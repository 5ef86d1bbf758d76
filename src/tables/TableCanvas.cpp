#include "tables/TableCanvas.h"

#include <algorithm>

namespace tables {

void Canvas::FillRect(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Rgb colour) {
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, band_.Width);
  y0 = std::max(y0, top_);
  y1 = std::min(y1, Bottom());
  if (x0 >= x1 || y0 >= y1) return;
  for (int64_t y = y0; y < y1; ++y) {
    uint8_t* p = band_.Pixel(static_cast<int>(x0), static_cast<int>(y - top_));
    for (int64_t x = x0; x < x1; ++x, p += 3) {
      p[0] = colour.R;
      p[1] = colour.G;
      p[2] = colour.B;
    }
  }
}

void Canvas::Blend(int64_t x, int64_t y, Rgb colour, uint8_t coverage) {
  if (x < 0 || x >= band_.Width || y < top_ || y >= Bottom() || coverage == 0) return;
  uint8_t* p = band_.Pixel(static_cast<int>(x), static_cast<int>(y - top_));
  const unsigned a = coverage;
  const auto mix = [a](uint8_t under, uint8_t over) {
    return static_cast<uint8_t>((under * (255 - a) + over * a + 127) / 255);
  };
  p[0] = mix(p[0], colour.R);
  p[1] = mix(p[1], colour.G);
  p[2] = mix(p[2], colour.B);
}

}  // namespace tables
