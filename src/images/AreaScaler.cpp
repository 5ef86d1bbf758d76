#include "images/AreaScaler.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace images {

void AreaScaler::MakeSpans(int source, int dest, std::vector<Span>& spans,
                           std::vector<float>& weights) {
  // Destination pixel d covers [d * source / dest, (d + 1) * source / dest) in source units.
  // Integer bounds scaled by dest keep the cover exact: source pixel s spans
  // [s * dest, (s + 1) * dest) and pixel d spans [d * source, (d + 1) * source).
  spans.resize(static_cast<size_t>(dest));
  weights.clear();
  const int64_t src = source;
  const int64_t dst = dest;
  for (int64_t d = 0; d < dst; ++d) {
    const int64_t begin = d * src;
    const int64_t end = begin + src;
    const int64_t first = begin / dst;
    const int64_t last = (end - 1) / dst;  // inclusive
    Span& span = spans[static_cast<size_t>(d)];
    span.First = static_cast<int>(first);
    span.Count = static_cast<int>(last - first + 1);
    span.WeightIndex = weights.size();
    for (int64_t s = first; s <= last; ++s) {
      const int64_t covered = std::min(end, (s + 1) * dst) - std::max(begin, s * dst);
      weights.push_back(
          static_cast<float>(static_cast<double>(covered) / static_cast<double>(src)));
    }
  }
}

AreaScaler::AreaScaler(int sourceWidth, int sourceHeight, int width, int height)
    : sourceWidth_(sourceWidth), sourceHeight_(sourceHeight) {
  if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0) {
    throw std::invalid_argument("picture sizes must be positive");
  }
  out_ = Raster(width, height, 0);
  MakeSpans(sourceWidth, width, columns_, columnWeights_);
  MakeSpans(sourceHeight, height, rows_, rowWeights_);
  // A source row feeds at most this many destination rows at once.
  openRows_ = (height + sourceHeight - 1) / sourceHeight + 1;
  scaledRow_.assign(static_cast<size_t>(width) * 3, 0.0f);
  open_.assign(static_cast<size_t>(openRows_) * width * 3, 0.0f);
}

void AreaScaler::PushRow(const uint8_t* rgb) {
  if (rowsIn_ >= sourceHeight_) throw std::logic_error("too many rows pushed");
  const int width = out_.Width;
  // Horizontal pass.
  for (int x = 0; x < width; ++x) {
    const Span& span = columns_[static_cast<size_t>(x)];
    const float* w = &columnWeights_[span.WeightIndex];
    const uint8_t* p = rgb + static_cast<size_t>(span.First) * 3;
    float r = 0, g = 0, b = 0;
    for (int i = 0; i < span.Count; ++i, p += 3) {
      r += w[i] * p[0];
      g += w[i] * p[1];
      b += w[i] * p[2];
    }
    float* o = &scaledRow_[static_cast<size_t>(x) * 3];
    o[0] = r;
    o[1] = g;
    o[2] = b;
  }
  // Vertical pass: add the row into every open destination row it covers.
  const int j = rowsIn_++;
  const size_t rowFloats = static_cast<size_t>(width) * 3;
  for (int y = firstOpen_; y < out_.Height && rows_[static_cast<size_t>(y)].First <= j; ++y) {
    const Span& span = rows_[static_cast<size_t>(y)];
    const int k = j - span.First;
    if (k >= span.Count) continue;
    const float weight = rowWeights_[span.WeightIndex + static_cast<size_t>(k)];
    float* acc = &open_[static_cast<size_t>(y % openRows_) * rowFloats];
    for (size_t i = 0; i < rowFloats; ++i) acc[i] += weight * scaledRow_[i];
  }
  // Write out the rows this source row completes.
  while (firstOpen_ < out_.Height) {
    const Span& span = rows_[static_cast<size_t>(firstOpen_)];
    if (span.First + span.Count - 1 > j) break;
    float* acc = &open_[static_cast<size_t>(firstOpen_ % openRows_) * rowFloats];
    uint8_t* dst = out_.Pixel(0, firstOpen_);
    for (size_t i = 0; i < rowFloats; ++i) {
      const float v = std::nearbyint(acc[i]);
      dst[i] = static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f));
      acc[i] = 0.0f;
    }
    ++firstOpen_;
  }
}

Raster AreaScaler::Finish() {
  if (rowsIn_ != sourceHeight_) throw std::logic_error("not every row was pushed");
  return std::move(out_);
}

Raster ScaleArea(const Raster& source, int width, int height) {
  AreaScaler scaler(source.Width, source.Height, width, height);
  for (int y = 0; y < source.Height; ++y) scaler.PushRow(source.Pixel(0, y));
  return scaler.Finish();
}

}  // namespace images
