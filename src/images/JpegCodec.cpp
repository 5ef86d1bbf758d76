#include "images/JpegCodec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "images/AreaScaler.h"

namespace images {

namespace {

// A progressive file may hold any number of scans, each a pass over the whole picture; real
// pictures use about ten.
constexpr int kMaxScans = 500;

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FailWith(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void ErrorExit(j_common_ptr cinfo) {
  FailWith(cinfo);
}

// Warnings about damaged entropy data or a missing end mean pixels were made up; such a file
// counts as corrupt. Harmless oddities (extra bytes between markers, unknown revisions) pass.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
      FailWith(cinfo);
    default:
      return;
  }
}

void OutputMessage(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "too many scans");
    std::longjmp(err->jump, 1);
  }
}

void InitErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.pub.output_message = OutputMessage;
  err.message[0] = 0;
}

// Owns a decompressor over a byte view; destroyed on every way out.
struct Decompressor {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};

  Decompressor() {
    InitErrors(err);
    cinfo.err = &err.pub;
    progress.progress_monitor = LimitScans;
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;
};

[[noreturn]] void ThrowDecodeError(const char* message) {
  throw ImageDecodeError(std::string("JPEG picture cannot be decoded: ") + message);
}

// Picks the decoder's scale factor once the header is read; 1 means full size.
using ChooseScale = std::function<int(int width, int height)>;
// Called with the output size before the first row, then once per RGB row.
using BeginRows = std::function<void(int width, int height)>;
using TakeRow = std::function<void(const uint8_t* rgb)>;

void CmykToRgb(const uint8_t* cmyk, uint8_t* rgb, int width, bool inverted) {
  for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
    const int k = inverted ? cmyk[3] : 255 - cmyk[3];
    for (int c = 0; c < 3; ++c) {
      const int v = inverted ? cmyk[c] : 255 - cmyk[c];
      rgb[c] = static_cast<uint8_t>((v * k + 127) / 255);
    }
  }
}

// Decodes the data row by row. Every object with a destructor lives outside the setjmp frame's
// reach: those declared before setjmp survive the jump, and no frame between libjpeg and the
// jump owns anything.
void DecodeRows(std::string_view bytes, const DecodeLimits& limits, const ChooseScale& choose,
                const BeginRows& begin, const TakeRow& take) {
  Decompressor d;
  std::vector<uint8_t> row, rgb;
  if (setjmp(d.err.jump)) ThrowDecodeError(d.err.message);

  jpeg_create_decompress(&d.cinfo);
  d.cinfo.progress = &d.progress;
  // Without a backing store, coefficient buffers beyond this make the decoder fail cleanly.
  d.cinfo.mem->max_memory_to_use =
      static_cast<long>(std::max<int64_t>(64 << 20, limits.MaxPixels * 8));
  jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  CheckPictureSize(d.cinfo.image_width, d.cinfo.image_height, limits, "JPEG");

  const bool cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
  d.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  const int denom =
      choose ? choose(static_cast<int>(d.cinfo.image_width), static_cast<int>(d.cinfo.image_height))
             : 1;
  d.cinfo.scale_num = 1;
  d.cinfo.scale_denom = static_cast<unsigned>(denom);
  jpeg_start_decompress(&d.cinfo);

  const int width = static_cast<int>(d.cinfo.output_width);
  const int height = static_cast<int>(d.cinfo.output_height);
  const int components = d.cinfo.output_components;
  row.resize(static_cast<size_t>(width) * static_cast<size_t>(components));
  if (cmyk) rgb.resize(static_cast<size_t>(width) * 3);
  begin(width, height);
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    JSAMPROW rows[1] = {row.data()};
    if (jpeg_read_scanlines(&d.cinfo, rows, 1) != 1) ThrowDecodeError("no data");
    if (cmyk) {
      CmykToRgb(row.data(), rgb.data(), width, d.cinfo.saw_Adobe_marker);
      take(rgb.data());
    } else {
      take(row.data());
    }
  }
  jpeg_finish_decompress(&d.cinfo);
}

}  // namespace

PictureSize ReadJpegSize(std::string_view bytes, const DecodeLimits& limits) {
  Decompressor d;
  if (setjmp(d.err.jump)) ThrowDecodeError(d.err.message);
  jpeg_create_decompress(&d.cinfo);
  jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  CheckPictureSize(d.cinfo.image_width, d.cinfo.image_height, limits, "JPEG");
  return {static_cast<int>(d.cinfo.image_width), static_cast<int>(d.cinfo.image_height)};
}

Raster DecodeJpeg(std::string_view bytes, const DecodeLimits& limits) {
  Raster out;
  int y = 0;
  DecodeRows(
      bytes, limits, nullptr, [&](int width, int height) { out = Raster(width, height, 0); },
      [&](const uint8_t* rgb) {
        std::copy(rgb, rgb + static_cast<size_t>(out.Width) * 3, out.Pixel(0, y++));
      });
  return out;
}

Raster DecodeJpegScaled(std::string_view bytes, int width, int height, const DecodeLimits& limits) {
  std::optional<AreaScaler> scaler;
  DecodeRows(
      bytes, limits,
      [&](int sourceWidth, int sourceHeight) {
        for (int denom : {8, 4, 2}) {
          if (sourceWidth >= static_cast<int64_t>(denom) * width &&
              sourceHeight >= static_cast<int64_t>(denom) * height) {
            return denom;
          }
        }
        return 1;
      },
      [&](int decodedWidth, int decodedHeight) {
        scaler.emplace(decodedWidth, decodedHeight, width, height);
      },
      [&](const uint8_t* rgb) { scaler->PushRow(rgb); });
  return scaler->Finish();
}

namespace {

struct Compressor {
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;

  Compressor() {
    InitErrors(err);
    cinfo.err = &err.pub;
  }
  ~Compressor() {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
  }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;
};

}  // namespace

std::string EncodeJpeg(const Raster& raster, int quality) {
  Compressor c;
  if (setjmp(c.err.jump)) {
    throw ImageError(std::string("JPEG picture cannot be encoded: ") + c.err.message);
  }
  jpeg_create_compress(&c.cinfo);
  jpeg_mem_dest(&c.cinfo, &c.buffer, &c.size);
  c.cinfo.image_width = static_cast<JDIMENSION>(raster.Width);
  c.cinfo.image_height = static_cast<JDIMENSION>(raster.Height);
  c.cinfo.input_components = 3;
  c.cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c.cinfo);
  jpeg_set_quality(&c.cinfo, quality, TRUE);
  jpeg_start_compress(&c.cinfo, TRUE);
  while (c.cinfo.next_scanline < c.cinfo.image_height) {
    JSAMPROW rows[1] = {
        const_cast<JSAMPROW>(raster.Pixel(0, static_cast<int>(c.cinfo.next_scanline)))};
    jpeg_write_scanlines(&c.cinfo, rows, 1);
  }
  jpeg_finish_compress(&c.cinfo);
  return std::string(reinterpret_cast<const char*>(c.buffer), c.size);
}

}  // namespace images
