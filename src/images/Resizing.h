#pragma once
// Scaling pictures down to the configured maximum and converting GIF pictures to JPEG. The
// copies are written into the scratch folder under the names TempImageName gives.

#include <string>

#include "images/DecodeError.h"

namespace platform {
class ScratchFolder;
}

namespace images {

// The picture settings.
struct PictureOptions {
  bool ResizeImages = true;
  int MaxImageWidth = 580;
  int MaxImageHeight = 700;

  // Limits of 0 or less mean that nothing is scaled.
  bool ScalingOn() const { return ResizeImages && MaxImageWidth > 0 && MaxImageHeight > 0; }
};

enum class PictureKind { Jpeg, Png };

// Quality of every JPEG written and deflate level of every PNG written.
inline constexpr int kJpegQuality = 90;
inline constexpr int kPngCompression = 8;

// True when scaling is on, the file exists (and is not empty) and the picture is wider or taller
// than the limits.
// The picture is checked to decode (when it needs scaling, the scaling decodes it), so an
// undecodable one raises ImageDecodeError here or there. Every error of these functions names the
// picture's file (ReadPictureFile, DecodeNamingFile).
bool NeedsResize(PictureKind kind, const std::string& path, const PictureOptions& options);

// Decodes the picture, scales it to FitWithin the limits and writes it as JPEG (quality 90) or
// PNG (deflate level 8) into the scratch folder, named after TempImageName of the path with the
// extension ".jpg" or ".png". Returns the written file's path.
std::string ResizeJpeg(const std::string& path, const PictureOptions& options,
                       platform::ScratchFolder& scratch);
std::string ResizePng(const std::string& path, const PictureOptions& options,
                      platform::ScratchFolder& scratch);

// The GIF's first frame as a JPEG in the scratch folder (named like ResizeJpeg's copies): scaled
// to fit when scaling is on (a 1 x 1 result becomes 2 x 2), unchanged otherwise. Empty when no
// such file exists.
std::string ConvertGifToJpeg(const std::string& path, const PictureOptions& options,
                             platform::ScratchFolder& scratch);

// The scratch path a copy of `path` with the given extension is written to.
std::string ScratchCopyName(const std::string& path, const char* extension,
                            platform::ScratchFolder& scratch);

}  // namespace images
