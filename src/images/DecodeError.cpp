#include "images/DecodeError.h"

namespace images {

void CheckPictureSize(int64_t width, int64_t height, const DecodeLimits& limits,
                      std::string_view kind) {
  if (width <= 0 || height <= 0) {
    throw ImageDecodeError(std::string(kind) + " picture has no pixels");
  }
  if (width > limits.MaxSide || height > limits.MaxSide || width * height > limits.MaxPixels) {
    throw ImageDecodeError(std::string(kind) + " picture is too large (" + std::to_string(width) +
                           " x " + std::to_string(height) + ")");
  }
}

}  // namespace images
