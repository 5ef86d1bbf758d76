// Batch conversion: one source file converted and saved into a folder without questions, and the
// batch window's commands over its conversion list.

#include <cerrno>
#include <cstring>
#include <system_error>

#include "app/BusyIndication.h"
#include "app/Session.h"
#include "output/SaveError.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"
#include "source/OfficeInstance.h"

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

// Batch mode for one file, ended on every way out.
class BatchModeScope {
 public:
  explicit BatchModeScope(DocumentState& document) : document_(document) {
    document_.BatchMode = true;
  }
  ~BatchModeScope() { document_.BatchMode = false; }
  BatchModeScope(const BatchModeScope&) = delete;
  BatchModeScope& operator=(const BatchModeScope&) = delete;

 private:
  DocumentState& document_;
};

}  // namespace

std::string Session::BatchOutputPath(const std::string& file, const std::string& folder) {
  return batch::OutputPath(file, folder);
}

SourceConversion Session::ConvertFileToFolder(const std::string& file, const std::string& folder,
                                              const std::string& outputPath) {
  if (std::optional<SourceConversion> unusable = CheckSourceFile(file)) return *unusable;
  ClearResultDocument();
  ClearSourceDocument();
  const BatchModeScope batchMode(document_);
  const BusyIndication busy(ui_);
  document_.WordExportPath.clear();
  SourceConversion outcome = ConvertSourceFile(file);
  // The save reports its own failures; the entry still counts the conversion.
  if (outcome.Ok && SaveFb2To(outputPath.empty() ? BatchOutputPath(file, folder) : outputPath))
    outcome.Written = settings_.PackToZip ? document_.LastZipPath : document_.LastFb2Path;
  return outcome;
}

batch::BatchSteps Session::BatchStartSteps() {
  batch::BatchSteps steps;
  // One LibreOffice for the whole batch, kept by the steps: it stops, and its profile goes, when
  // the batch is over and the steps are gone.
  auto office = std::make_shared<source::OfficeInstance>(WordBridge);
  batchOffice_ = office;
  steps.ConvertFileToFolder = [this, office](const std::string& file, const std::string& folder,
                                             const std::string& outputPath) -> batch::FileOutcome {
    try {
      const SourceConversion outcome = ConvertFileToFolder(file, folder, outputPath);
      return {outcome.Ok, outcome.ErrorCode, outcome.Reason, outcome.Written};
    } catch (const std::system_error& failure) {
      ui_.ShowMessage(kProgramName, failure.what());
      return {false, failure.code().value(), failure.what(), {}};
    } catch (const std::exception& failure) {
      ui_.ShowMessage(kProgramName, failure.what());
      return {false, 0, failure.what(), {}};
    }
  };
  steps.RemoveWordExport = [this] { RemoveWordExport(); };
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
