#pragma once
// The size a picture is scaled to so that it fits the configured maximum.

namespace images {

struct PictureSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const PictureSize&) const = default;
};

// The largest size of the picture's proportions within maxWidth x maxHeight; the picture's own
// size when it fits already (both limits inclusive). The scaled side is rounded to the nearest
// integer, ties to even, and never drops below 1. Limits must be positive.
PictureSize FitWithin(int width, int height, int maxWidth, int maxHeight);

// True when the picture is wider or taller than the limits.
inline bool Exceeds(PictureSize size, int maxWidth, int maxHeight) {
  return size.Width > maxWidth || size.Height > maxHeight;
}

}  // namespace images
