#pragma once
// "Start" of the batch window: every entry of the list converted into the output folder and
// rewritten to show its outcome.

#include <functional>
#include <set>
#include <string>

#include "app/UserInterface.h"
#include "batch/ConversionList.h"

namespace batch {

// How one file of the batch went.
struct FileOutcome {
  bool Done = false;    // the conversion produced a result
  int ErrorCode = 0;    // the system's error number when the file could not be used, else 0
  std::string Reason;   // why not, in words
  std::string Written;  // the file the book was saved as (the archive when packed); empty when
                        // the save failed or nothing was converted
};

struct BatchSteps {
  // Converts one file and saves the book as `outputPath`, a file in `folder` that StartBatch
  // chose (see OutputPath and UnusedOutputPath).
  std::function<FileOutcome(const std::string& file, const std::string& folder,
                            const std::string& outputPath)>
      ConvertFileToFolder;
  // Removes the word-processor export the file produced, if any.
  std::function<void()> RemoveWordExport;
};

// Where a batch saves the book of `file`: the folder, "/", and the file's name with its last
// extension replaced by ".fb2" (a name without one gets ".fb2" appended).
std::string OutputPath(const std::string& file, const std::string& folder);

// `path` when `taken` does not hold it, else the first of "<stem>_2.fb2", "<stem>_3.fb2", ...
// beside it that `taken` does not hold.
std::string UnusedOutputPath(const std::string& path, const std::set<std::string>& taken);

// `path` without the last "_<digits>" ending of its stem ("x_2_3.fb2" gives "x_2.fb2"); `path`
// itself when its stem has none. UnusedOutputPath turns a name only into names that give it back
// this way, once or more.
std::string WithoutNumberEnding(const std::string& path);

// The entry's new text: "Done: " + entry, or "Error: " + code + ": " + entry.
std::string OutcomeEntry(const std::string& entry, bool done, int errorCode);
// The new text of an entry whose book went to another name than OutputPath gives, because an
// earlier entry of the batch wrote that one: "Done: " + entry + " -> " + the file written.
std::string RenamedEntry(const std::string& entry, const std::string& written);

// Told each entry's index, new text and outcome once the entry is handled.
using EntryDoneFn =
    std::function<void(size_t index, const std::string& entry, const FileOutcome& outcome)>;

// Asked before each entry; true ends the batch there.
using CancelledFn = std::function<bool()>;

// `outputFolder` is the "Save to:" field; the folder dialog may fill it. A batch ended by
// `cancelled` leaves the entries it did not reach as they are.
//
// No book of the batch replaces another one: an entry whose output name an earlier entry of the
// same batch wrote is saved under the UnusedOutputPath name instead, and its entry says so
// (RenamedEntry). Files left in the folder by earlier batches are replaced. An entry whose output
// would replace its own source (a link, say) is not converted.
void StartBatch(ConversionList& list, std::string& outputFolder, app::UserInterface& ui,
                const BatchSteps& steps, const EntryDoneFn& entryDone = {},
                const CancelledFn& cancelled = {});

}  // namespace batch
