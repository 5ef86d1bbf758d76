#pragma once
// GIF decoding (giflib): the first frame only. Corrupt, truncated or oversized data raises
// ImageDecodeError.

#include <string_view>

#include "images/DecodeError.h"
#include "images/Raster.h"

namespace images {

// The first frame laid on the logical screen as RGB. Pixels the frame leaves uncovered and
// transparent pixels are white (transparency is not kept).
Raster DecodeGif(std::string_view bytes, const DecodeLimits& limits = {});

}  // namespace images
