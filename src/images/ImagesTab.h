#pragma once
// The logic of the "Images" tab and of the batch picture window: pictures encoded for insertion
// by hand into two plain texts, the references above and the binary elements below.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "images/PictureFiles.h"
#include "images/Raster.h"
#include "images/Resizing.h"

namespace platform {
class ScratchFolder;
}

namespace images {

struct ImagesTabPanes {
  std::string Refs;      // upper pane: image references
  std::string Binaries;  // lower pane: binary elements
};

// The filters of the "Load picture" open dialog, in order.
struct PictureFilter {
  const char* Caption;
  const char* Patterns;
};
inline constexpr PictureFilter kLoadPictureFilters[] = {
    {"Images (*.png;*.jpg;)", "*.png;*.jpg"},
    {"Portable Network Graphics (*.png)", "*.png"},
    {"JPEG Image File (*.jpg)", "*.jpg"},
};

// "Load picture" once a file is chosen: both panes are emptied and then hold that picture. A
// picture that is missing or cannot be read is reported to `onProblem`.
void LoadPictureCommand(ImagesTabPanes& panes, const std::string& path,
                        const PictureOptions& options, platform::ScratchFolder& scratch,
                        const PictureProblemFn& onProblem = {});

// One entry of the batch window's list: a file name relative to the chosen folder.
struct BatchPictureEntry {
  std::string FileName;
  bool Ticked = false;
};

// Progress of the ticked pictures: done of total. Set to 0 at the start and again at the end.
using PictureProgressFn = std::function<void(size_t done, size_t total)>;

// "Start": encodes the ticked entries in list order into the emptied panes. Returns false, with
// nothing changed, when no entry is ticked (the window stays open); true when done (the window
// closes). Pictures that give nothing still count for the progress; those missing or unreadable
// are reported to `onProblem` together, one line each, once the batch ends. When a picture
// cannot be decoded the error propagates, the panes holding the pictures before it.
bool StartBatchPictures(ImagesTabPanes& panes, const std::vector<BatchPictureEntry>& entries,
                        std::string_view folder, const PictureOptions& options,
                        platform::ScratchFolder& scratch, const PictureProgressFn& progress,
                        const PictureProblemFn& onProblem = {});

// The batch window lists the names matching "*.jpg;*png;*gif", letter case ignored.
bool MatchesBatchPictureMask(std::string_view name);
// The matching regular files of a folder in the order of SortBatchPictureNames.
std::vector<std::string> ListBatchPictures(const std::string& folder);
// Sorts by name with letter case ignored, names differing in case only by their bytes ("A.JPG"
// before "a.jpg"): one order whatever order the folder gives them in.
void SortBatchPictureNames(std::vector<std::string>& names);

// Clicking an entry previews it when its extension is ".jpg", ".png" or ".gif" in any case.
bool CanPreview(std::string_view name);
// The picture to preview, or nothing when it cannot be loaded.
std::optional<Raster> LoadPreview(const std::string& path);

}  // namespace images
