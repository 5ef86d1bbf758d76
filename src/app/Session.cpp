#include "app/Session.h"

#include <utility>

namespace app {

Session::Session(UserInterface& ui, TextEditor& sourceEditor, TextEditor& resultEditor,
                 std::string programFolder, std::string settingsPath)
    : ui_(ui),
      source_(sourceEditor),
      result_(resultEditor),
      codePage_(platform::SystemCodePageNumber()),
      programFolder_(std::move(programFolder)),
      settingsPath_(std::move(settingsPath)) {
  encoding_.SystemCodePageName = source::SystemCodePageNameFor(codePage_.Number());
  book_.EncodingCaption =
      source::EncodingName(encoding_.CurrentCharset, encoding_.SystemCodePageName);
}

Session::~Session() = default;

void Session::ClearSourceDocument() {
  source_.Clear();
  document_.SourceSaveName.clear();
  document_.SourceHtmlPath.clear();
  ui_.SetStatus(0, "");
}

void Session::ClearResultDocument() {
  result_.Clear();
  document_.ProposedFb2Name.clear();
  document_.LastFb2Path.clear();
  document_.LastZipPath.clear();
  document_.TablePictureCount = 0;
}

}  // namespace app
