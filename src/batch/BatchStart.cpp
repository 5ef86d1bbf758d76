#include "batch/BatchStart.h"

#include <filesystem>

namespace batch {
namespace {

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_directory(path, ec);
}

std::string WorkingDirectory() {
  std::error_code ec;
  return std::filesystem::current_path(ec).string();
}

}  // namespace

std::string OutcomeEntry(const std::string& entry, bool done, int errorCode) {
  return done ? "Done: " + entry : "Error: " + std::to_string(errorCode) + ": " + entry;
}

void StartBatch(ConversionList& list, std::string& outputFolder, app::UserInterface& ui,
                const BatchSteps& steps, const EntryDoneFn& entryDone,
                const CancelledFn& cancelled) {
  if (list.Empty()) return;
  if (!IsFolder(outputFolder)) {
    const std::string chosen = ui.AskFolder("Save to:", WorkingDirectory());
    if (!chosen.empty()) outputFolder = chosen + "/";
  }
  if (!IsFolder(outputFolder)) {
    ui.ShowMessage("Batch", "Dir " + outputFolder + " not found ");
    return;
  }
  std::vector<std::string>& entries = list.Entries();
  const size_t count = entries.size();
  for (size_t i = 0; i < count && i < entries.size(); ++i) {
    if (cancelled && cancelled()) break;
    const FileOutcome outcome = steps.ConvertFileToFolder(entries[i], outputFolder);
    entries[i] = OutcomeEntry(entries[i], outcome.Done, outcome.ErrorCode);
    if (steps.RemoveWordExport) steps.RemoveWordExport();
    if (entryDone) entryDone(i, entries[i], outcome);
    ui.ShowProgress(i + 1, count);
  }
}

}  // namespace batch
