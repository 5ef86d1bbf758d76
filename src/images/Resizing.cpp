#include "images/Resizing.h"

#include "images/AreaScaler.h"
#include "images/FitWithin.h"
#include "images/GifCodec.h"
#include "images/JpegCodec.h"
#include "images/PictureFiles.h"
#include "images/PicturePaths.h"
#include "images/PngCodec.h"
#include "platform/ScratchFolder.h"

namespace images {

namespace {

// Decoding at one eighth still reads every coefficient, so it finds every fault of the data.
void CheckJpegDecodes(const std::string& bytes) {
  (void)DecodeJpegScaled(bytes, 1, 1);
}

}  // namespace

bool NeedsResize(PictureKind kind, const std::string& path, const PictureOptions& options) {
  if (!options.ScalingOn() || !FileExists(path)) return false;
  const std::string bytes = ReadPictureFile(path);
  // An empty file has nothing to measure; it embeds as nothing.
  if (bytes.empty()) return false;
  return DecodeNamingFile(path, [&] {
    const PictureSize size = kind == PictureKind::Jpeg ? ReadJpegSize(bytes) : ReadPngSize(bytes);
    if (Exceeds(size, options.MaxImageWidth, options.MaxImageHeight)) return true;
    if (kind == PictureKind::Jpeg) {
      CheckJpegDecodes(bytes);
    } else {
      (void)DecodePng(bytes);
    }
    return false;
  });
}

std::string ScratchCopyName(const std::string& path, const char* extension,
                            platform::ScratchFolder& scratch) {
  const std::string name = TempImageName(ChangeExtension(path, extension));
  return scratch.FilePath(FileNameOf(name));
}

std::string ResizeJpeg(const std::string& path, const PictureOptions& options,
                       platform::ScratchFolder& scratch) {
  const std::string bytes = ReadPictureFile(path);
  const Raster scaled = DecodeNamingFile(path, [&] {
    const PictureSize size = ReadJpegSize(bytes);
    const PictureSize fit =
        FitWithin(size.Width, size.Height, options.MaxImageWidth, options.MaxImageHeight);
    return DecodeJpegScaled(bytes, fit.Width, fit.Height);
  });
  const std::string out = ScratchCopyName(path, ".jpg", scratch);
  WritePictureFile(out, EncodeJpeg(scaled, kJpegQuality));
  return out;
}

std::string ResizePng(const std::string& path, const PictureOptions& options,
                      platform::ScratchFolder& scratch) {
  const std::string bytes = ReadPictureFile(path);
  const Raster picture = DecodeNamingFile(path, [&] { return DecodePng(bytes); });
  const PictureSize fit =
      FitWithin(picture.Width, picture.Height, options.MaxImageWidth, options.MaxImageHeight);
  const Raster scaled = ScaleArea(picture, fit.Width, fit.Height);
  const std::string out = ScratchCopyName(path, ".png", scratch);
  WritePictureFile(out, EncodePng(scaled, kPngCompression));
  return out;
}

std::string ConvertGifToJpeg(const std::string& path, const PictureOptions& options,
                             platform::ScratchFolder& scratch) {
  if (!FileExists(path)) return {};
  const std::string bytes = ReadPictureFile(path);
  Raster picture = DecodeNamingFile(path, [&] { return DecodeGif(bytes); });
  if (options.ScalingOn()) {
    PictureSize fit =
        FitWithin(picture.Width, picture.Height, options.MaxImageWidth, options.MaxImageHeight);
    if (fit == PictureSize{1, 1}) fit = {2, 2};
    if (fit != PictureSize{picture.Width, picture.Height}) {
      picture = ScaleArea(picture, fit.Width, fit.Height);
    }
  }
  const std::string out = ScratchCopyName(path, ".jpg", scratch);
  WritePictureFile(out, EncodeJpeg(picture, kJpegQuality));
  return out;
}

}  // namespace images
