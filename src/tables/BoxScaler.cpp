#include "tables/BoxScaler.h"

#include <algorithm>
#include <cmath>

namespace tables {

namespace {

int64_t RoundScaled(double limit, double side, double other) {
  return std::max<int64_t>(1, static_cast<int64_t>(std::nearbyint(limit / side * other)));
}

}  // namespace

PictureSize FitWithin(int64_t width, int64_t height, int maxWidth, int maxHeight) {
  if (maxWidth <= 0 || maxHeight <= 0 || width <= 0 || height <= 0) return {width, height};
  const double w = static_cast<double>(width);
  const double h = static_cast<double>(height);
  if (width <= maxWidth && height <= maxHeight) return {width, height};
  const bool heightDecides =
      width <= maxWidth || (height > maxHeight && h / maxHeight > w / maxWidth);
  if (heightDecides) return {RoundScaled(maxHeight, h, w), maxHeight};
  return {maxWidth, RoundScaled(maxWidth, w, h)};
}

// Source pixel s covers [s * target, (s + 1) * target) and target pixel t covers
// [t * source, (t + 1) * source) on a common integer scale; the weight of s in t is the length
// of the overlap divided by the length of t.
BoxScaler::BoxScaler(int64_t sourceWidth, int64_t sourceHeight, int targetWidth, int targetHeight)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      targetWidth_(targetWidth),
      targetHeight_(targetHeight),
      columns_(targetWidth),
      row_(static_cast<size_t>(targetWidth) * 3),
      sum_(static_cast<size_t>(targetWidth) * targetHeight * 3, 0.0f) {
  for (int64_t t = 0; t < targetWidth_; ++t) {
    const int64_t begin = t * sourceWidth_;
    const int64_t end = begin + sourceWidth_;
    Tap& tap = columns_[t];
    tap.First = begin / targetWidth_;
    for (int64_t s = tap.First; s * targetWidth_ < end && s < sourceWidth_; ++s) {
      const int64_t overlap =
          std::min(end, (s + 1) * targetWidth_) - std::max(begin, s * targetWidth_);
      tap.Weights.push_back(static_cast<float>(overlap) / static_cast<float>(sourceWidth_));
    }
  }
}

void BoxScaler::AddRows(const images::Raster& band, int64_t firstRow) {
  for (int y = 0; y < band.Height; ++y) {
    const int64_t s = firstRow + y;
    if (s < 0 || s >= sourceHeight_) continue;
    for (int t = 0; t < targetWidth_; ++t) {
      const Tap& tap = columns_[t];
      float r = 0, g = 0, b = 0;
      const uint8_t* p = band.Pixel(static_cast<int>(tap.First), y);
      for (float weight : tap.Weights) {
        r += weight * p[0];
        g += weight * p[1];
        b += weight * p[2];
        p += 3;
      }
      row_[t * 3] = r;
      row_[t * 3 + 1] = g;
      row_[t * 3 + 2] = b;
    }
    const int64_t begin = s * targetHeight_;
    const int64_t end = begin + targetHeight_;
    for (int64_t t = begin / sourceHeight_; t < targetHeight_ && t * sourceHeight_ < end; ++t) {
      const int64_t overlap =
          std::min(end, (t + 1) * sourceHeight_) - std::max(begin, t * sourceHeight_);
      const float weight = static_cast<float>(overlap) / static_cast<float>(sourceHeight_);
      float* out = &sum_[static_cast<size_t>(t) * targetWidth_ * 3];
      for (size_t i = 0; i < row_.size(); ++i) out[i] += weight * row_[i];
    }
  }
}

images::Raster BoxScaler::Finish() const {
  images::Raster picture(targetWidth_, targetHeight_);
  for (size_t i = 0; i < sum_.size(); ++i) {
    picture.Rgb[i] = static_cast<uint8_t>(std::clamp(std::lround(sum_[i]), 0L, 255L));
  }
  return picture;
}

}  // namespace tables
