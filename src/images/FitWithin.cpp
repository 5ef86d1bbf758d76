#include "images/FitWithin.h"

#include <algorithm>
#include <cmath>

namespace images {

namespace {

// Round to nearest, ties to even, as the default floating-point rounding mode does.
int RoundSide(double value) {
  return std::max(1, static_cast<int>(std::nearbyint(value)));
}

}  // namespace

PictureSize FitWithin(int width, int height, int maxWidth, int maxHeight) {
  const double w = width, h = height, mw = maxWidth, mh = maxHeight;
  if (width <= maxWidth && height <= maxHeight) return {width, height};
  if (width <= maxWidth) return {RoundSide(mh / h * w), maxHeight};
  if (height <= maxHeight) return {maxWidth, RoundSide(mw / w * h)};
  if (h / mh > w / mw) return {RoundSide(mh / h * w), maxHeight};
  return {maxWidth, RoundSide(mw / w * h)};
}

}  // namespace images
