#pragma once
// Word-processor documents (.doc, .docx, .rtf) exported to HTML by LibreOffice, run headless
// with a private profile (source/OfficeInstance.h), so that it works while the user has
// LibreOffice open and two exports never share a profile.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Interrupts.h"

namespace source {

struct WordBridgeOptions {
  std::string Program = "soffice";  // a name looked up on PATH, or a path
  // Per document; for a batch's kept LibreOffice it includes starting it when that is needed.
  std::chrono::milliseconds TimeLimit = std::chrono::seconds(120);
  // The Python that drives a kept LibreOffice; empty: the one in LibreOffice's program folder,
  // the system's, then python3 on PATH.
  std::string Python;
};

class OfficeInstance;

// The outcome of an export: converts to true on success, otherwise says why not.
struct ExportResult {
  bool Ok = false;
  std::string Reason;  // why not, in words ("program \"soffice\" not found", ...); empty when Ok
  bool TimedOut = false;
  // While held, an interrupt removes the export and its picture folder.
  std::vector<platform::InterruptCleanup> Cleanup;

  explicit operator bool() const { return Ok; }
};

// Exports `source` to an HTML file at `target` in the code page, its pictures in the folder named
// like `target` with ".files", referred to relatively. Fails when the program is missing, cannot
// be started, ends with an error or runs out of time (its process group is then killed), writes
// no HTML, or a file cannot be copied or written; nothing is left at `target` or in the picture
// folder then.
// LibreOffice runs through `office` when given (a batch's kept instance; its options apply),
// else once with the profile kept between runs (KeptProfileFolder), which is made anew when a
// run with it fails, or with a profile of its own when another run is using the kept one.
ExportResult ConvertWithWord(const std::string& source, const std::string& target,
                             const platform::CodePage& codePage,
                             const WordBridgeOptions& options = {},
                             OfficeInstance* office = nullptr);

// Bytes outside the letters, digits and "-._~/" written as "%XX", as in a URL.
std::string PercentEncode(std::string_view text);

// The exported UTF-8 HTML made ready for the loader: every reference to one of `pictures` (file
// names the export wrote beside the HTML) made to point into `pictureFolder` (a relative, already
// encoded reference such as "My_Book.files"), then the text put into the code page with its
// declared character set renamed.
std::string PrepareExportHtml(std::string_view utf8Html, const std::vector<std::string>& pictures,
                              std::string_view pictureFolder, const platform::CodePage& codePage);

}  // namespace source
