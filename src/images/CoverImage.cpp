#include "images/CoverImage.h"

#include <filesystem>

#include "engine/TextUtil.h"
#include "images/Base64.h"
#include "images/BinaryElements.h"
#include "images/PictureFiles.h"
#include "images/PicturePaths.h"

namespace images {

EmbeddedPicture PreparePicture(const std::string& source, const PictureOptions& options,
                               platform::ScratchFolder& scratch,
                               const PictureProblemFn& onProblem) {
  std::string path = source;
  bool copy = false;
  const std::string ext = engine::ToLowerAscii(ExtensionOf(path));
  if ((ext == ".jpg" || ext == ".png" || ext == ".gif") && !UsablePictureFile(path, onProblem))
    return {};
  if (ext == ".jpg" && NeedsResize(PictureKind::Jpeg, path, options)) {
    path = ResizeJpeg(path, options, scratch);
    copy = true;
  } else if (ext == ".png" && NeedsResize(PictureKind::Png, path, options)) {
    path = ResizePng(path, options, scratch);
    copy = true;
  }
  EmbeddedPicture out;
  const std::string type = ImageContentType(path);
  if (!type.empty()) {
    const std::string data = EncodeFileBase64(path);
    if (!data.empty()) {
      const std::string_view id = FileNameOf(path);
      out.ImageRef = ImageReference(id);
      AppendBinaryElement(out.Binary, type, id, data);
    }
  }
  if (copy) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  return out;
}

void LoadPicture(const std::string& path, const PictureOptions& options,
                 platform::ScratchFolder& scratch, std::string& refs, std::string& pendingBinaries,
                 const PictureProblemFn& onProblem) {
  const EmbeddedPicture picture = PreparePicture(path, options, scratch, onProblem);
  if (picture.Empty()) return;
  refs += "\r\n";
  refs += picture.ImageRef;
  pendingBinaries += "\r\n";
  pendingBinaries += picture.Binary;
}

}  // namespace images
