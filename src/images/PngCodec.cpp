#include "images/PngCodec.h"

#include <png.h>

#include <stdexcept>

namespace images {

namespace {

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

}  // namespace

std::string EncodePng(const Raster& raster, int compressionLevel) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) throw std::runtime_error("cannot encode PNG");
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("cannot encode PNG");
  }
  png_set_write_fn(png, &out, AppendToString, NoFlush);
  png_set_compression_level(png, compressionLevel);
  png_set_IHDR(png, info, static_cast<png_uint_32>(raster.Width),
               static_cast<png_uint_32>(raster.Height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < raster.Height; ++y) {
    png_write_row(png, const_cast<png_bytep>(raster.Pixel(0, y)));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace images
