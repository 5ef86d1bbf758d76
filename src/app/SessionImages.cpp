// The "Images" tab: single pictures, batches of pictures and table pictures encoded into the two
// panes for the user to paste into the FB2 text.

#include <iterator>

#include "app/Session.h"
#include "images/Resizing.h"
#include "tables/ConvertTable.h"
#include "tables/TableSettings.h"

namespace app {
namespace {

std::vector<FileFilter> LoadPictureFilters() {
  std::vector<FileFilter> filters;
  filters.reserve(std::size(images::kLoadPictureFilters));
  for (const images::PictureFilter& filter : images::kLoadPictureFilters)
    filters.push_back({filter.Caption, filter.Patterns});
  return filters;
}

}  // namespace

void Session::Act_LoadImage() {
  const std::string path = ui_.AskOpenFile("", LoadPictureFilters(), "");
  if (path.empty()) return;
  images::LoadPictureCommand(
      ImagesPanes, path, PictureOptions(), Scratch(),
      [this](std::string_view message) { ui_.ShowMessage(kProgramName, message); });
}

bool Session::StartBatchPictures(const std::string& folder,
                                 const std::vector<images::BatchPictureEntry>& entries,
                                 const images::PictureProgressFn& progress) {
  return images::StartBatchPictures(
      ImagesPanes, entries, folder, PictureOptions(), Scratch(), progress,
      [this](std::string_view message) { ui_.ShowMessage(kProgramName, message); });
}

void Session::Act_ConvertTable() {
  ImagesPanes.Refs.clear();
  ImagesPanes.Binaries.clear();
  const std::string selection = source_.SelectedText();
  if (selection.empty()) return;
  tables::ConvertTableResult result = tables::ConvertSelectedTable(
      selection, document_.TablePictureCount, TablePictureSettings(), TableFonts(), codePage_,
      [this](std::string_view message, std::string_view offending) {
        ui_.ShowMessage(message, offending);
      });
  if (result.Png.empty()) return;
  ImagesPanes.Refs = std::move(result.ImagesTabRefs);
  ImagesPanes.Binaries = std::move(result.ImagesTabBinaries);
  ShowPage(kImagesPage);
}

}  // namespace app
