#pragma once
// A stand-in for a LibreOffice installation, for tests of how the export drives it: a folder with
// "soffice" (the launcher), "soffice.bin" and "python" (the bridge's driver), all shell scripts.
//
// A document's text decides what happens to it: one holding "hang" makes the export sit until it
// is killed (after writing a line into the FIFO `HangFifo`, when the test made one), one holding
// "crash" ends the driver. Any other document is exported as "<p>TEXT</p>", with one picture
// when the text holds "picture".
// Kept instances are listeners that only sleep; the driver does the work. With NoBridge() the
// driver says it cannot run, and soffice.bin exports per document (`--convert-to`), as "<p>once
// TEXT</p>".

#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace testsupport {

class FakeOffice {
 public:
  FakeOffice();

  std::string Soffice() const { return folder_ / "soffice"; }
  std::string Folder() const { return folder_.Path().string(); }
  // Makes a FIFO that a hanging export writes a line into before it sleeps.
  std::string MakeHangFifo();
  void NoBridge();
  // The pids of the listeners and drivers started so far, and of per-document runs.
  std::vector<int> ListenerPids() const { return Pids("listener-pids"); }
  std::vector<int> DriverPids() const { return Pids("driver-pids"); }
  std::vector<int> OncePids() const { return Pids("once-pids"); }
  // The profile folders LibreOffice was given.
  std::vector<std::string> Profiles() const;

 private:
  std::vector<int> Pids(const std::string& file) const;
  TempFolder folder_;
};

// Waits for `pid` (not a child of ours) to end, for at most a minute; true once it has.
bool ProcessEnds(int pid);

}  // namespace testsupport
