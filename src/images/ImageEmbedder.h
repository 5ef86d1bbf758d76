#pragma once
// Embedding the pictures of one conversion: every `img` tag gives an `image` reference, and the
// first tag naming a picture also gives its `binary` element. Pictures beyond the configured
// size are scaled, GIF pictures become JPEG; those copies live in the scratch folder only until
// they are encoded.

#include <string>
#include <string_view>
#include <vector>

#include "engine/HTMLPars.h"
#include "images/PictureFiles.h"
#include "images/Resizing.h"

namespace platform {
class ScratchFolder;
}

namespace images {

// One picture met in the conversion: the path resolved from `src`, the file that was encoded
// (differs when the picture was scaled or converted; empty when nothing was encoded), and the id
// of its binary (empty when nothing was encoded).
struct TImageSet {
  std::string SourceFile;
  std::string EmbeddedFile;
  std::string Id;
};

class ImageEmbedder {
 public:
  // `sourceFolder`: the folder of the document being converted with its trailing "/" (see
  // FolderOf), or empty to resolve pictures against the working directory.
  // A JPEG, PNG or GIF picture that is missing or cannot be read is reported to `onProblem`
  // (once per path) and left out.
  ImageEmbedder(PictureOptions options, std::string sourceFolder, platform::ScratchFolder& scratch,
                PictureProblemFn onProblem = {});

  // Forgets the pictures of the previous conversion.
  void BeginConversion() { imageSets_.clear(); }

  // The `image` reference for an `img` tag (empty when it yields no picture). The first time a
  // picture is met its `binary` element is appended to `binaries`. A picture that exists but
  // cannot be decoded, or is too large, raises ImageDecodeError naming its file.
  std::string Embed(const engine::THTMLTag& tag, std::string& binaries);
  // The same for one `src` value.
  std::string EmbedSource(std::string_view src, std::string& binaries);

  const std::vector<TImageSet>& ImageSets() const { return imageSets_; }

 private:
  std::string ResolvePath(std::string_view src) const;
  std::string UnusedId(std::string id) const;

  PictureOptions options_;
  std::string sourceFolder_;
  platform::ScratchFolder& scratch_;
  PictureProblemFn onProblem_;
  std::vector<TImageSet> imageSets_;
};

}  // namespace images
