#include "batch/BatchStart.h"

#include <cerrno>
#include <filesystem>

#include "platform/Paths.h"

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

// True when both name one existing file, through links too.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// The length of `stem` without one "_<digits>" ending; the whole length when it has none.
size_t StemLengthWithoutNumber(std::string_view stem) {
  size_t digits = stem.size();
  while (digits > 0 && stem[digits - 1] >= '0' && stem[digits - 1] <= '9') --digits;
  if (digits == stem.size() || digits < 2 || stem[digits - 1] != '_') return stem.size();
  return digits - 1;
}

}  // namespace

std::string OutputPath(const std::string& file, const std::string& folder) {
  return folder + "/" + platform::ChangeFileExtension(platform::FileNameOf(file), ".fb2");
}

std::string UnusedOutputPath(const std::string& path, const std::set<std::string>& taken) {
  if (!taken.contains(path)) return path;
  const std::string_view extension = platform::FileExtensionOf(path);
  const std::string_view base(path.data(), path.size() - extension.size());
  for (unsigned n = 2;; ++n) {
    std::string numbered = std::string(base) + "_" + std::to_string(n) + std::string(extension);
    if (!taken.contains(numbered)) return numbered;
  }
}

std::string WithoutNumberEnding(const std::string& path) {
  const std::string_view extension = platform::FileExtensionOf(path);
  const std::string_view name = platform::FileNameOf(path);
  const size_t folderLength = path.size() - name.size();
  const std::string_view stem = name.substr(0, name.size() - extension.size());
  const size_t cut = StemLengthWithoutNumber(stem);
  if (cut == stem.size()) return path;
  return path.substr(0, folderLength) + std::string(stem.substr(0, cut)) + std::string(extension);
}

std::string OutcomeEntry(const std::string& entry, bool done, int errorCode) {
  return done ? "Done: " + entry : "Error: " + std::to_string(errorCode) + ": " + entry;
}

std::string RenamedEntry(const std::string& entry, const std::string& written) {
  return "Done: " + entry + " -> " + written;
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
  std::set<std::string> written;  // the output names this batch has saved books as
  for (size_t i = 0; i < count && i < entries.size(); ++i) {
    if (cancelled && cancelled()) break;
    const std::string planned = OutputPath(entries[i], outputFolder);
    const std::string target = UnusedOutputPath(planned, written);
    FileOutcome outcome;
    if (SameFile(entries[i], target)) {
      outcome.ErrorCode = EINVAL;
      outcome.Reason = "the output \"" + target + "\" is the source file itself";
    } else {
      outcome = steps.ConvertFileToFolder(entries[i], outputFolder, target);
    }
    if (!outcome.Written.empty()) written.insert(target);
    entries[i] = outcome.Done && target != planned && !outcome.Written.empty()
                     ? RenamedEntry(entries[i], outcome.Written)
                     : OutcomeEntry(entries[i], outcome.Done, outcome.ErrorCode);
    if (steps.RemoveWordExport) steps.RemoveWordExport();
    if (entryDone) entryDone(i, entries[i], outcome);
    ui.ShowProgress(i + 1, count);
  }
}

}  // namespace batch
