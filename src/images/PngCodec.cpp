#include "images/PngCodec.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace images {

namespace {

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

// Reading from a byte view; running out of data is an error, never a wait.
struct ByteSource {
  std::string_view bytes;
  size_t pos = 0;
};

void ReadFromView(png_structp png, png_bytep data, png_size_t length) {
  auto* src = static_cast<ByteSource*>(png_get_io_ptr(png));
  if (src->bytes.size() - src->pos < length) png_error(png, "file is truncated");
  std::copy_n(src->bytes.data() + src->pos, length, reinterpret_cast<char*>(data));
  src->pos += length;
}

struct ErrorText {
  char message[200] = {};
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* text = static_cast<ErrorText*>(png_get_error_ptr(png));
  std::snprintf(text->message, sizeof text->message, "%s", message ? message : "error");
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Owns a reader over a byte view; destroyed on every way out.
struct Reader {
  ByteSource source;
  ErrorText error;
  png_structp png = nullptr;
  png_infop info = nullptr;

  explicit Reader(std::string_view bytes) : source{bytes} {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
    if (!png) throw ImageError("cannot decode PNG: out of memory");
    info = png_create_info_struct(png);
    if (!info) {
      png_destroy_read_struct(&png, nullptr, nullptr);
      throw ImageError("cannot decode PNG: out of memory");
    }
    png_set_read_fn(png, &source, ReadFromView);
    // Ancillary chunks are not needed; a compressed text or profile chunk cannot grow large.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_chunk_malloc_max(png, 8 << 20);
  }
  ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
};

[[noreturn]] void ThrowDecodeError(const char* message) {
  throw ImageDecodeError(std::string("PNG picture cannot be decoded: ") + message);
}

// Reads the header and checks the size.
PictureSize ReadHeader(Reader& r, const DecodeLimits& limits) {
  png_read_info(r.png, r.info);
  const int64_t width = png_get_image_width(r.png, r.info);
  const int64_t height = png_get_image_height(r.png, r.info);
  CheckPictureSize(width, height, limits, "PNG");
  return {static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

PictureSize ReadPngSize(std::string_view bytes, const DecodeLimits& limits) {
  Reader r(bytes);
  if (setjmp(png_jmpbuf(r.png))) ThrowDecodeError(r.error.message);
  return ReadHeader(r, limits);
}

Raster DecodePng(std::string_view bytes, const DecodeLimits& limits) {
  Reader r(bytes);
  Raster out;
  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(r.png))) ThrowDecodeError(r.error.message);

  const PictureSize size = ReadHeader(r, limits);
  png_set_expand(r.png);
  png_set_strip_16(r.png);
  png_set_gray_to_rgb(r.png);
  png_set_add_alpha(r.png, 0xff, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);
  if (png_get_rowbytes(r.png, r.info) != static_cast<size_t>(size.Width) * 4) {
    ThrowDecodeError("unexpected pixel layout");
  }

  out = Raster(size.Width, size.Height, 0);
  const size_t rowBytes = static_cast<size_t>(size.Width) * 4;
  auto lay = [&](const uint8_t* src, uint8_t* dst) {
    for (int x = 0; x < size.Width; ++x, src += 4, dst += 3) {
      const unsigned a = src[3];
      for (int c = 0; c < 3; ++c) {
        dst[c] = static_cast<uint8_t>((src[c] * a + 255 * (255 - a) + 127) / 255);
      }
    }
  };
  if (passes == 1) {
    // One row at a time: the RGBA form never exists for the whole picture.
    rgba.resize(rowBytes);
    for (int y = 0; y < size.Height; ++y) {
      png_read_row(r.png, rgba.data(), nullptr);
      lay(rgba.data(), out.Pixel(0, y));
    }
  } else {
    rgba.resize(rowBytes * static_cast<size_t>(size.Height));
    rows.resize(static_cast<size_t>(size.Height));
    for (int y = 0; y < size.Height; ++y) rows[static_cast<size_t>(y)] = &rgba[rowBytes * y];
    png_read_image(r.png, rows.data());
    for (int y = 0; y < size.Height; ++y) lay(rows[static_cast<size_t>(y)], out.Pixel(0, y));
  }
  return out;
}

std::string EncodePng(const Raster& raster, int compressionLevel) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) throw ImageError("cannot encode PNG");
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw ImageError("cannot encode PNG");
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
