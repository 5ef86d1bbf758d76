#include "images/GifCodec.h"

#include <gif_lib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace images {

namespace {

struct ByteSource {
  std::string_view bytes;
  size_t pos = 0;
};

int ReadFromView(GifFileType* gif, GifByteType* data, int length) {
  auto* src = static_cast<ByteSource*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(std::max(length, 0)), src->bytes.size() - src->pos);
  std::copy_n(src->bytes.data() + src->pos, n, reinterpret_cast<char*>(data));
  src->pos += n;
  return static_cast<int>(n);
}

[[noreturn]] void Fail(int code) {
  const char* text = GifErrorString(code);
  throw ImageDecodeError(std::string("GIF picture cannot be decoded: ") +
                         (text ? text : "unknown error"));
}

[[noreturn]] void Fail(const char* text) {
  throw ImageDecodeError(std::string("GIF picture cannot be decoded: ") + text);
}

struct GifCloser {
  GifFileType* gif = nullptr;
  ~GifCloser() {
    if (gif) {
      int error = 0;
      DGifCloseFile(gif, &error);
    }
  }
};

// Skips an extension's data blocks; a graphics control block may name the transparent index.
void ReadExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) Fail(gif->Error);
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    GraphicsControlBlock gcb{};
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
      transparent = gcb.TransparentColor;
    }
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) Fail(gif->Error);
  }
}

}  // namespace

Raster DecodeGif(std::string_view bytes, const DecodeLimits& limits) {
  ByteSource source{bytes};
  int error = 0;
  GifCloser file{DGifOpen(&source, ReadFromView, &error)};
  GifFileType* gif = file.gif;
  if (!gif) Fail(error);

  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) Fail(gif->Error);
    if (type == TERMINATE_RECORD_TYPE) Fail("no picture in the file");
    if (type == EXTENSION_RECORD_TYPE) {
      ReadExtension(gif, transparent);
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) continue;
    if (DGifGetImageDesc(gif) == GIF_ERROR) Fail(gif->Error);
    break;
  }

  const GifImageDesc& frame = gif->Image;
  CheckPictureSize(frame.Width, frame.Height, limits, "GIF");
  const int64_t canvasWidth = std::max<int64_t>(gif->SWidth, int64_t{frame.Left} + frame.Width);
  const int64_t canvasHeight = std::max<int64_t>(gif->SHeight, int64_t{frame.Top} + frame.Height);
  CheckPictureSize(canvasWidth, canvasHeight, limits, "GIF");

  // Without any colour table the indexes are read as grey levels.
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  GifColorType palette[256];
  for (int i = 0; i < 256; ++i) {
    const auto grey = static_cast<GifByteType>(i);
    palette[i] = {grey, grey, grey};
  }
  if (map && map->Colors) {
    for (int i = 0; i < 256; ++i) {
      palette[i] = i < map->ColorCount ? map->Colors[i] : GifColorType{255, 255, 255};
    }
  }
  if (transparent >= 0 && transparent < 256) palette[transparent] = {255, 255, 255};

  Raster out(static_cast<int>(canvasWidth), static_cast<int>(canvasHeight), 255);
  std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
  auto put = [&](int row) {
    if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) Fail(gif->Error);
    uint8_t* dst = out.Pixel(frame.Left, frame.Top + row);
    for (int x = 0; x < frame.Width; ++x, dst += 3) {
      const GifColorType& c = palette[line[static_cast<size_t>(x)]];
      dst[0] = c.Red;
      dst[1] = c.Green;
      dst[2] = c.Blue;
    }
  };
  if (frame.Interlace) {
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int row = kStart[pass]; row < frame.Height; row += kStep[pass]) put(row);
    }
  } else {
    for (int row = 0; row < frame.Height; ++row) put(row);
  }
  return out;
}

}  // namespace images
