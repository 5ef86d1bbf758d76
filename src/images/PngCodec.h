#pragma once
// PNG encoding of a Raster (libpng).

#include <string>

#include "images/Raster.h"

namespace images {

// The PNG file bytes of an RGB picture; zlib compression level 0-9.
std::string EncodePng(const Raster& raster, int compressionLevel);

}  // namespace images
