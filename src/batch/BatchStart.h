#pragma once
// "Start" of the batch window: every entry of the list converted into the output folder and
// rewritten to show its outcome.

#include <functional>
#include <string>

#include "app/UserInterface.h"
#include "batch/ConversionList.h"

namespace batch {

// How one file of the batch went.
struct FileOutcome {
  bool Done = false;   // the conversion produced a result
  int ErrorCode = 0;   // the system's error number when the file could not be used, else 0
  std::string Reason;  // why not, in words
};

struct BatchSteps {
  // Converts one file into the folder.
  std::function<FileOutcome(const std::string& file, const std::string& folder)>
      ConvertFileToFolder;
  // Removes the word-processor export the file produced, if any.
  std::function<void()> RemoveWordExport;
};

// The entry's new text: "Done: " + entry, or "Error: " + code + ": " + entry.
std::string OutcomeEntry(const std::string& entry, bool done, int errorCode);

// Told each entry's index, new text and outcome once the entry is handled.
using EntryDoneFn =
    std::function<void(size_t index, const std::string& entry, const FileOutcome& outcome)>;

// Asked before each entry; true ends the batch there.
using CancelledFn = std::function<bool()>;

// `outputFolder` is the "Save to:" field; the folder dialog may fill it. A batch ended by
// `cancelled` leaves the entries it did not reach as they are.
void StartBatch(ConversionList& list, std::string& outputFolder, app::UserInterface& ui,
                const BatchSteps& steps, const EntryDoneFn& entryDone = {},
                const CancelledFn& cancelled = {});

}  // namespace batch
