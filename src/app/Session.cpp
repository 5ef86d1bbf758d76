#include "app/Session.h"

#include <utility>

#include "images/Resizing.h"
#include "platform/ScratchFolder.h"
#include "tables/TableFont.h"
#include "tables/TableSettings.h"

namespace app {

Session::Session(UserInterface& ui, TextEditor& sourceEditor, TextEditor& resultEditor,
                 std::string programFolder, std::string settingsPath)
    : ui_(ui),
      source_(sourceEditor),
      result_(resultEditor),
      codePage_(platform::SystemCodePageNumber()),
      programFolder_(std::move(programFolder)),
      settingsPath_(std::move(settingsPath)),
      scratch_(std::make_unique<platform::ScratchFolder>()) {
  encoding_.SystemCodePageName = source::SystemCodePageNameFor(codePage_.Number());
  book_.EncodingCaption =
      source::EncodingName(encoding_.CurrentCharset, encoding_.SystemCodePageName);
}

Session::~Session() = default;

tables::FontCache& Session::TableFonts() {
  if (!tableFonts_) tableFonts_ = std::make_unique<tables::FontCache>();
  return *tableFonts_;
}

images::PictureOptions Session::PictureOptions() const {
  images::PictureOptions options;
  options.ResizeImages = settings_.ResizeImages;
  options.MaxImageWidth = settings_.MaxImageWidth;
  options.MaxImageHeight = settings_.MaxImageHeight;
  return options;
}

tables::TableSettings Session::TablePictureSettings() const {
  tables::TableSettings table;
  table.MaxImageWidth = settings_.MaxImageWidth;
  table.MaxImageHeight = settings_.MaxImageHeight;
  table.VisibleBorder = settings_.TableBorder == TableBorder::Visible;
  table.FontName = settings_.TableFontName;
  table.FontSize = settings_.TableFontSize;
  return table;
}

void Session::ClearSourceDocument() {
  source_.Clear();
  document_.SourceSaveName.clear();
  document_.SourceHtmlPath.clear();
  document_.SourceLanguage.clear();
  ui_.SetStatus(0, "");
}

void Session::ClearResultDocument() {
  result_.Clear();
  result_.SetLineBreakStyle(LineBreak::CrLf);
  document_.ProposedFb2Name.clear();
  document_.LastFb2Path.clear();
  document_.LastZipPath.clear();
  document_.TablePictureCount = 0;
}

}  // namespace app
