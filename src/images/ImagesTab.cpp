#include "images/ImagesTab.h"

#include <algorithm>
#include <filesystem>

#include "engine/TextUtil.h"
#include "images/CoverImage.h"
#include "images/GifCodec.h"
#include "images/JpegCodec.h"
#include "images/PictureFiles.h"
#include "images/PicturePaths.h"
#include "images/PngCodec.h"

namespace images {

void LoadPictureCommand(ImagesTabPanes& panes, const std::string& path,
                        const PictureOptions& options, platform::ScratchFolder& scratch,
                        const PictureProblemFn& onProblem) {
  panes.Refs.clear();
  panes.Binaries.clear();
  std::string pending;
  LoadPicture(path, options, scratch, panes.Refs, pending, onProblem);
  panes.Binaries = std::move(pending);
}

bool StartBatchPictures(ImagesTabPanes& panes, const std::vector<BatchPictureEntry>& entries,
                        std::string_view folder, const PictureOptions& options,
                        platform::ScratchFolder& scratch, const PictureProgressFn& progress,
                        const PictureProblemFn& onProblem) {
  const size_t total = static_cast<size_t>(
      std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.Ticked; }));
  if (total == 0) return false;
  auto report = [&](size_t done) {
    if (progress) progress(done, total);
  };
  report(0);
  panes.Refs.clear();
  panes.Binaries.clear();
  std::string pending;
  size_t done = 0;
  std::string problems;
  const auto collect = [&problems](std::string_view message) {
    if (!problems.empty()) problems += '\n';
    problems += message;
  };
  // The pictures left out are reported once, however the batch ends.
  const auto reportProblems = [&problems, &onProblem] {
    if (!problems.empty() && onProblem) onProblem(problems);
  };
  try {
    for (const BatchPictureEntry& entry : entries) {
      if (!entry.Ticked) continue;
      std::string path(folder);
      if (!path.empty() && path.back() != '/') path += '/';
      path += entry.FileName;
      LoadPicture(path, options, scratch, panes.Refs, pending, collect);
      report(++done);
    }
  } catch (...) {
    // Keep the two panes in step: every reference above has its binary below.
    panes.Binaries = std::move(pending);
    report(0);
    reportProblems();
    throw;
  }
  panes.Binaries = std::move(pending);
  report(0);
  reportProblems();
  return true;
}

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         engine::EqualsNoCase(text.substr(text.size() - tail.size()), tail);
}

}  // namespace

bool MatchesBatchPictureMask(std::string_view name) {
  return EndsWithNoCase(name, ".jpg") || EndsWithNoCase(name, "png") || EndsWithNoCase(name, "gif");
}

std::vector<std::string> ListBatchPictures(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::error_code typeError;
    if (!entry.is_regular_file(typeError)) continue;
    std::string name = entry.path().filename().string();
    if (MatchesBatchPictureMask(name)) names.push_back(std::move(name));
  }
  SortBatchPictureNames(names);
  return names;
}

void SortBatchPictureNames(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string lowerA = engine::ToLowerAscii(a), lowerB = engine::ToLowerAscii(b);
    return lowerA != lowerB ? lowerA < lowerB : a < b;
  });
}

bool CanPreview(std::string_view name) {
  const std::string ext = engine::ToLowerAscii(ExtensionOf(name));
  return ext == ".jpg" || ext == ".png" || ext == ".gif";
}

std::optional<Raster> LoadPreview(const std::string& path) {
  try {
    const std::string ext = engine::ToLowerAscii(ExtensionOf(path));
    const std::string bytes = ReadPictureFile(path);
    if (ext == ".jpg") return DecodeJpeg(bytes);
    if (ext == ".png") return DecodePng(bytes);
    if (ext == ".gif") return DecodeGif(bytes);
  } catch (const ImageError&) {
  }
  return std::nullopt;
}

}  // namespace images
