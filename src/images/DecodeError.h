#pragma once
// The errors of picture handling and the size limits every decoder enforces.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace images {

// A picture file could not be read or written.
class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A picture file exists but is not a picture of its kind: corrupt, truncated, or too large.
class ImageDecodeError : public ImageError {
 public:
  using ImageError::ImageError;
};

// Pictures beyond these sizes are refused before any pixel memory is taken.
struct DecodeLimits {
  int64_t MaxPixels = 100'000'000;
  int64_t MaxSide = 65535;
};

// Throws ImageDecodeError when the announced size is empty or beyond the limits.
void CheckPictureSize(int64_t width, int64_t height, const DecodeLimits& limits,
                      std::string_view kind);

}  // namespace images
