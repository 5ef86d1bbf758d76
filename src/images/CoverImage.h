#pragma once
// Pictures chosen by the user rather than found in the text: the cover, and the pictures the
// "Images" tab encodes for insertion by hand. JPEG and PNG only; the id keeps the file name's case.

#include <string>

#include "images/PictureFiles.h"
#include "images/Resizing.h"

namespace platform {
class ScratchFolder;
}

namespace images {

// An image reference and its binary element; both empty when the picture gave nothing.
struct EmbeddedPicture {
  std::string ImageRef;
  std::string Binary;

  bool Empty() const { return ImageRef.empty(); }
};

// Scales the picture when it is too large, then encodes it. GIF and other kinds, a missing file
// and an empty file give nothing; a JPEG, PNG or GIF file that is missing or cannot be read is
// reported to `onProblem`. An undecodable or too large picture raises ImageDecodeError naming
// its file.
EmbeddedPicture PreparePicture(const std::string& path, const PictureOptions& options,
                               platform::ScratchFolder& scratch,
                               const PictureProblemFn& onProblem = {});

// The cover picture's reference and binary element.
inline EmbeddedPicture PrepareCoverImage(const std::string& path, const PictureOptions& options,
                                         platform::ScratchFolder& scratch,
                                         const PictureProblemFn& onProblem = {}) {
  return PreparePicture(path, options, scratch, onProblem);
}

// Appends "\r\n" and the picture's reference to `refs`, and "\r\n" and its binary element to
// `pendingBinaries`; nothing when the picture gives nothing.
void LoadPicture(const std::string& path, const PictureOptions& options,
                 platform::ScratchFolder& scratch, std::string& refs, std::string& pendingBinaries,
                 const PictureProblemFn& onProblem = {});

}  // namespace images
