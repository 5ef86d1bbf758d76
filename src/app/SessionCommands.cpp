// The conversion commands, the removal of a word-processor export and viewing the saved FB2.

#include <filesystem>

#include "app/BusyIndication.h"
#include "app/Session.h"
#include "platform/Paths.h"
#include "platform/Subprocess.h"
#include "source/WordExportCleanup.h"

namespace app {
namespace {

// The desktop's opener for a document, started on its own: its end and result are not awaited.
void OpenWithDesktop(const std::string& path) {
  const std::string opener = platform::FindOnPath("xdg-open");
  if (!opener.empty()) platform::StartDetached({opener, path});
}

}  // namespace

void Session::ConvertAndOfferSave() {
  const engine::ConversionResult result = ConvertDocument();
  OfferSave(result.Ok, result.Reason);
}

void Session::OfferSave(bool converted, std::string_view reason) {
  if (!converted) {
    // Offering the previous result for saving would report the failure as a success.
    RemoveWordExport();
    ui_.ShowMessage(kProgramName, ConversionFailedMessage(reason));
    return;
  }
  if (document_.ProposedFb2Name.empty())
    document_.ProposedFb2Name = platform::ChangeFileExtension(document_.SourceHtmlPath, ".fb2");
  RemoveWordExport();
  SaveFb2As();
}

void Session::Act_ConvertExecute() {
  const BusyIndication busy(ui_);
  if (source_.LineCount() == 0) {
    const std::string name = ChooseSourceFile({});
    if (name.empty()) return;
    LoadChosenSource(name, true);
    if (source_.LineCount() == 0) return;
  }
  ConvertAndOfferSave();
}

void Session::ConvertStartupFile(const std::string& fileName) {
  if (fileName.empty()) return;
  const std::string name = fileName;  // may be StartupFile itself, emptied below
  document_.StartupFile.clear();      // used once
  if (!platform::IsExistingFile(name)) {
    ui_.SetStatus(0, "File " + name + " not found");
    return;
  }
  const std::string path = name.find('/') == std::string::npos
                               ? std::filesystem::current_path().string() + "/" + name
                               : name;
  const BusyIndication busy(ui_);
  const SourceConversion outcome = ConvertSourceFile(ChooseSourceFile(path));
  if (outcome.ErrorCode != 0) {
    ui_.ShowMessage(kProgramName, outcome.Reason);
    return;
  }
  // A file that gives no text has nothing to convert and nothing to say.
  if (outcome.SourceLoaded || outcome.ExportFailed) OfferSave(outcome.Ok, outcome.Reason);
}

void Session::RemoveWordExport() {
  source::RemoveWordExport(document_.WordExportPath);
  // Forgotten once removed: a later conversion must not delete a file made under that name since.
  document_.WordExportPath.clear();
}

void Session::Act_SaveAndView() {
  // After a save with packing on only the archive exists: that is the file opened.
  const auto openArchive = [this] {
    if (document_.LastZipPath.empty()) return false;
    if (platform::IsExistingFile(document_.LastZipPath)) OpenWithShell(document_.LastZipPath);
    return true;
  };
  if (openArchive()) return;
  if (document_.LastFb2Path.empty()) SaveFb2As();
  if (document_.LastFb2Path.empty() || openArchive()) return;
  if (!platform::IsExistingFile(document_.LastFb2Path)) SaveFb2As();
  if (openArchive()) return;
  if (platform::IsExistingFile(document_.LastFb2Path)) OpenWithShell(document_.LastFb2Path);
}

void Session::OpenWithShell(const std::string& path) {
  if (!platform::IsExistingFile(path)) {
    ui_.ShowMessage(kProgramName, "File " + path + " not exist.");
    return;
  }
  if (ShellOpener)
    ShellOpener(path);
  else
    OpenWithDesktop(path);
}

}  // namespace app
