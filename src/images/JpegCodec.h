#pragma once
// JPEG decoding and encoding (libjpeg-turbo). Corrupt, truncated or oversized data raises
// ImageDecodeError; nothing here crashes or loops on bad input.

#include <string>
#include <string_view>

#include "images/DecodeError.h"
#include "images/FitWithin.h"
#include "images/Raster.h"

namespace images {

// The picture size from the header alone (the rest of the data is not checked).
PictureSize ReadJpegSize(std::string_view bytes, const DecodeLimits& limits = {});

// The whole picture as RGB (grey and CMYK pictures converted).
Raster DecodeJpeg(std::string_view bytes, const DecodeLimits& limits = {});

// The picture scaled to exactly width x height by the area scaler. When it is at least 2, 4 or
// 8 times larger on both sides, the decoder first shrinks it by that factor, which is much
// cheaper than decoding every pixel; the rows then stream through the scaler.
Raster DecodeJpegScaled(std::string_view bytes, int width, int height,
                        const DecodeLimits& limits = {});

// Baseline JPEG, 24-bit colour, at the given quality (1-100).
std::string EncodeJpeg(const Raster& raster, int quality);

}  // namespace images
