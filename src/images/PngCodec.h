#pragma once
// PNG decoding and encoding (libpng). Corrupt, truncated or oversized data raises
// ImageDecodeError.

#include <string>
#include <string_view>

#include "images/DecodeError.h"
#include "images/FitWithin.h"
#include "images/Raster.h"

namespace images {

// The picture size from the header alone.
PictureSize ReadPngSize(std::string_view bytes, const DecodeLimits& limits = {});

// The whole picture as 8-bit RGB: palettes and grey expanded, 16-bit samples reduced, and
// transparent pixels laid over white (transparency is not kept).
Raster DecodePng(std::string_view bytes, const DecodeLimits& limits = {});

// The PNG file bytes of an RGB picture; zlib compression level 0-9.
std::string EncodePng(const Raster& raster, int compressionLevel);

}  // namespace images
