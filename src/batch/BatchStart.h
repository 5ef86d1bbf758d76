#pragma once
// "Start" of the batch window: every entry of the list converted into the output folder and
// rewritten to show its outcome.

#include <functional>
#include <string>

#include "app/UserInterface.h"
#include "batch/ConversionList.h"

namespace batch {

struct BatchSteps {
  // Converts one file into the folder; true when the conversion produced a result.
  std::function<bool(const std::string& file, const std::string& folder)> ConvertFileToFolder;
  // Removes the word-processor export the file produced, if any.
  std::function<void()> RemoveWordExport;
};

// The entry's new text: "Done: " + entry, or "Error: " + code + ": " + entry.
std::string OutcomeEntry(const std::string& entry, bool done, int errorCode);

// Told each entry's index and new text once the entry is handled.
using EntryDoneFn = std::function<void(size_t index, const std::string& entry)>;

// `outputFolder` is the "Save to:" field; the folder dialog may fill it.
void StartBatch(ConversionList& list, std::string& outputFolder, app::UserInterface& ui,
                const BatchSteps& steps, const EntryDoneFn& entryDone = {});

}  // namespace batch
