#include "images/ImageEmbedder.h"

#include <filesystem>

#include "engine/TextUtil.h"
#include "images/Base64.h"
#include "images/BinaryElements.h"
#include "images/PictureFiles.h"
#include "images/PicturePaths.h"
#include "platform/ScratchFolder.h"

namespace images {

namespace {

bool IsScratchFile(const std::string& path, platform::ScratchFolder& scratch) {
  return scratch.Created() && path.starts_with(scratch.Path());
}

std::string LowerFileName(std::string_view path) {
  return engine::ToLowerAscii(FileNameOf(path));
}

}  // namespace

ImageEmbedder::ImageEmbedder(PictureOptions options, std::string sourceFolder,
                             platform::ScratchFolder& scratch, PictureProblemFn onProblem)
    : options_(options),
      sourceFolder_(std::move(sourceFolder)),
      scratch_(scratch),
      onProblem_(std::move(onProblem)) {}

std::string ImageEmbedder::Embed(const engine::THTMLTag& tag, std::string& binaries) {
  std::string result;
  for (size_t i = 0; i < tag.ParamCount(); ++i) {
    const engine::THTMLParam param = tag.Param(i);
    if (!engine::EqualsNoCase(param.Name.View(), "src")) continue;
    std::string reference = EmbedSource(param.Value.View(), binaries);
    // Only a src that yields a picture changes the result.
    if (!reference.empty()) result = std::move(reference);
  }
  return result;
}

std::string ImageEmbedder::ResolvePath(std::string_view src) const {
  std::string value(src);
  for (char& c : value) {
    if (c == '\\') c = '/';
  }
  std::string path = sourceFolder_ + value;
  // Saved web pages write blanks and other bytes of file names as "%20" and the like.
  if (!FileExists(path) && value.find('%') != std::string::npos) {
    std::string decoded = sourceFolder_ + PercentDecode(value);
    if (FileExists(decoded)) path = std::move(decoded);
  }
  return path;
}

// Pictures of one file name in different folders must not share an id, or every reference
// would show the first: a later one gets "_2", "_3", ... before its extension.
std::string ImageEmbedder::UnusedId(std::string id) const {
  const auto taken = [this](std::string_view candidate) {
    for (const TImageSet& set : imageSets_) {
      if (set.Id == candidate) return true;
    }
    return false;
  };
  if (!taken(id)) return id;
  const size_t dot = id.rfind('.');
  const std::string stem = id.substr(0, dot), extension = id.substr(dot);
  for (int n = 2;; ++n) {
    std::string candidate = stem + "_" + std::to_string(n) + extension;
    if (!taken(candidate)) return candidate;
  }
}

std::string ImageEmbedder::EmbedSource(std::string_view src, std::string& binaries) {
  std::string path = ResolvePath(src);

  for (const TImageSet& set : imageSets_) {
    if (set.SourceFile != path) continue;
    return set.Id.empty() ? std::string() : ImageReference(set.Id);
  }

  imageSets_.push_back({path, {}, {}});
  const std::string ext = engine::ToLowerAscii(ExtensionOf(path));
  // Pictures of the kinds embedded are checked before anything is decoded or read: one that is
  // missing or unreadable is reported and left out, one too large ends the conversion.
  if ((ext == ".jpg" || ext == ".png" || ext == ".gif") && !UsablePictureFile(path, onProblem_))
    return {};
  if (ext == ".jpg") {
    if (NeedsResize(PictureKind::Jpeg, path, options_)) path = ResizeJpeg(path, options_, scratch_);
  } else if (ext == ".png") {
    if (NeedsResize(PictureKind::Png, path, options_)) path = ResizePng(path, options_, scratch_);
  } else if (ext == ".gif") {
    path = ConvertGifToJpeg(path, options_, scratch_);
  }
  imageSets_.back().EmbeddedFile = path;

  const std::string name = LowerFileName(path);
  if (name.empty()) return {};
  const std::string type = ImageContentType(name);
  if (type.empty()) return {};
  const std::string id = UnusedId(name);

  std::string result;
  const std::string data = EncodeFileBase64(path);
  if (!data.empty()) {
    result = ImageReference(id);
    AppendBinaryElement(binaries, type, id, data);
    imageSets_.back().Id = id;
  } else {
    // A missing or empty file has no binary, so a later tag must not refer to one either.
    imageSets_.back().EmbeddedFile.clear();
  }
  if (IsScratchFile(path, scratch_)) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  return result;
}

}  // namespace images
