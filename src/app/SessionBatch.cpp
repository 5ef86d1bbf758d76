// Batch conversion: one source file converted and saved into a folder without questions, and the
// batch window's commands over its conversion list.

#include <cerrno>
#include <cstring>
#include <system_error>

#include "app/Session.h"
#include "output/SaveError.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"

namespace app {
namespace {

const std::vector<FileFilter>& LoadListFilters() {
  static const std::vector<FileFilter> filters = {{"Text Files (*.txt)", "*.txt"},
                                                  {"All files (*.*)", "*.*"}};
  return filters;
}

const std::vector<FileFilter>& SaveListFilters() {
  static const std::vector<FileFilter> filters = {{"Text Files (*.txt)", "*.txt"},
                                                  {"All Files (*.*)", "*.*"}};
  return filters;
}

// Batch mode and the busy indication for one file, ended on every way out. The error code the
// batch reports is the one the work left, so ending them keeps errno as it was.
class BatchFileScope {
 public:
  explicit BatchFileScope(Session& session) : session_(session) {
    session_.Document().BatchMode = true;
    session_.Ui().SetBusy(true);
  }
  ~BatchFileScope() {
    const int code = errno;
    session_.Ui().SetBusy(false);
    session_.Document().BatchMode = false;
    errno = code;
  }
  BatchFileScope(const BatchFileScope&) = delete;
  BatchFileScope& operator=(const BatchFileScope&) = delete;

 private:
  Session& session_;
};

}  // namespace

std::string Session::BatchOutputPath(const std::string& file, const std::string& folder) {
  return folder + "/" + platform::ChangeFileExtension(platform::FileNameOf(file), ".fb2");
}

bool Session::ConvertFileToFolder(const std::string& file, const std::string& folder) {
  if (!platform::IsExistingFile(file)) return false;
  ClearResultDocument();
  ClearSourceDocument();
  const BatchFileScope scope(*this);
  document_.SourcePath = file;
  if (source_.Text().empty()) OpenSourceBatch(file);
  if (source_.Text().empty()) return false;
  const bool converted = ConvertDocument().Ok;
  // The save reports its own failures; the entry still counts the conversion.
  if (converted) SaveFb2To(BatchOutputPath(file, folder));
  return converted;
}

batch::BatchSteps Session::BatchStartSteps() {
  batch::BatchSteps steps;
  steps.ConvertFileToFolder = [this](const std::string& file, const std::string& folder) {
    try {
      return ConvertFileToFolder(file, folder);
    } catch (const std::system_error& failure) {
      ui_.ShowMessage(kProgramName, failure.what());
      errno = failure.code().value();
    } catch (const std::exception& failure) {
      const int code = errno;
      ui_.ShowMessage(kProgramName, failure.what());
      errno = code;
    }
    return false;
  };
  steps.RemoveWordExport = [this] {
    const int code = errno;
    RemoveWordExport();
    errno = code;
  };
  return steps;
}

void Session::StartBatch() {
  batch::StartBatch(BatchList, settings_.BatchOutputFolder, ui_, BatchStartSteps());
}

void Session::Act_BatchLoadList() {
  const std::string chosen = ui_.AskOpenFile("", LoadListFilters(), "");
  if (chosen.empty()) return;
  const std::optional<std::string> bytes = platform::ReadWholeFile(chosen);
  if (!bytes) {
    ui_.ShowMessage(kProgramName, "Cannot open file \"" + chosen + "\". " + std::strerror(errno));
    return;
  }
  // As every text read from a file, the list ends at a NUL byte.
  BatchList.LoadFromText(std::string_view(*bytes).substr(0, bytes->find('\0')));
}

void Session::Act_BatchSaveList() {
  const std::string chosen = ui_.AskSaveFile("", SaveListFilters(), "", "txt");
  if (chosen.empty()) return;
  const std::string name = batch::ListFileName(chosen);
  if (const int error = platform::WriteFileAtomically(name, BatchList.ToText()); error != 0)
    ui_.ShowMessage(kProgramName, output::CannotCreateMessage(name, std::strerror(error)));
}

}  // namespace app
