#pragma once
// The bodies of the picture decoders' fuzz targets, shared by the libFuzzer binaries and by the
// unit test that replays the inputs kept in fuzz/regressions/. A decode error is the expected
// answer to bad data; any other exception, a crash or a wrong size is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "images/AreaScaler.h"
#include "images/DecodeError.h"
#include "images/GifCodec.h"
#include "images/JpegCodec.h"
#include "images/PngCodec.h"

namespace fuzztargets {

inline void RequirePicture(bool condition) {
  if (!condition) std::abort();
}

// Smaller than the real limits so that each input stays quick; the checks are the same.
inline images::DecodeLimits FuzzLimits() {
  return {4'000'000, 65535};
}

inline void CheckRaster(const images::Raster& r) {
  RequirePicture(r.Width > 0 && r.Height > 0);
  RequirePicture(r.Rgb.size() == static_cast<size_t>(r.Width) * r.Height * 3);
}

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Full decode, then a scaled decode to about a third of the size (through the decoder's own
// shrinking when the picture is large enough).
inline int FuzzJpeg(const uint8_t* data, size_t size) {
  const std::string_view bytes = Bytes(data, size);
  try {
    const images::PictureSize header = images::ReadJpegSize(bytes, FuzzLimits());
    const images::Raster full = images::DecodeJpeg(bytes, FuzzLimits());
    CheckRaster(full);
    RequirePicture(full.Width == header.Width && full.Height == header.Height);
    const int w = full.Width / 3 + 1, h = full.Height / 3 + 1;
    const images::Raster scaled = images::DecodeJpegScaled(bytes, w, h, FuzzLimits());
    CheckRaster(scaled);
    RequirePicture(scaled.Width == w && scaled.Height == h);
  } catch (const images::ImageDecodeError&) {
  }
  return 0;
}

inline int FuzzPng(const uint8_t* data, size_t size) {
  const std::string_view bytes = Bytes(data, size);
  try {
    const images::PictureSize header = images::ReadPngSize(bytes, FuzzLimits());
    const images::Raster full = images::DecodePng(bytes, FuzzLimits());
    CheckRaster(full);
    RequirePicture(full.Width == header.Width && full.Height == header.Height);
    CheckRaster(images::ScaleArea(full, full.Width / 2 + 1, full.Height / 2 + 1));
  } catch (const images::ImageDecodeError&) {
  }
  return 0;
}

inline int FuzzGif(const uint8_t* data, size_t size) {
  try {
    const images::Raster full = images::DecodeGif(Bytes(data, size), FuzzLimits());
    CheckRaster(full);
    CheckRaster(images::ScaleArea(full, full.Width / 2 + 1, full.Height / 2 + 1));
  } catch (const images::ImageDecodeError&) {
  }
  return 0;
}

}  // namespace fuzztargets
