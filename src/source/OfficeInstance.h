#pragma once
// LibreOffice as the export of word-processor documents runs it: one run per document
// (`--convert-to`), or one instance kept for a whole batch and driven through its own interface.
//
// Either way LibreOffice gets a private profile, never the user's, so it neither sees nor
// disturbs a LibreOffice the user has open, and it dies with us (platform/Subprocess.h).
//
// The kept instance is a LibreOffice listening on a private pipe and a small Python program
// (LibreOffice's own UNO bridge, Debian's python3-uno) that loads each document and stores it as
// HTML. Starting LibreOffice costs about a second; a document then costs what its export costs.
// When the bridge is not there (no python3-uno, or a program that is not a LibreOffice
// installation) the instance falls back to one run per document, still with the batch's profile.

#include <chrono>
#include <memory>
#include <string>

#include "platform/ScratchFolder.h"
#include "platform/Subprocess.h"
#include "source/WordBridge.h"

namespace source {

// "120 s", or "300 ms" for a limit that is not whole seconds.
std::string DurationText(std::chrono::milliseconds limit);

// The LibreOffice program that really runs for `program` (a name on PATH or a path): the
// soffice.bin beside the launcher script when there is one (it is started directly, so that it is
// our own child and dies with us), else the program itself. Empty when neither exists.
std::string OfficeBinary(const std::string& program);

// Exports `input` into the folder `outFolder` as "<input's stem>.html" with its pictures beside
// it, through one LibreOffice run with the profile folder `profile` (made when missing) and its
// temporary files in the existing folder `temp` (what a killed LibreOffice leaves there goes with
// it).
ExportResult ExportOnce(const WordBridgeOptions& options, const std::string& input,
                        const std::string& outFolder, const std::string& profile,
                        const std::string& temp);

// The profile folder kept between interactive conversions: $XDG_CACHE_HOME/vellumor/libreoffice
// (XDG_CACHE_HOME defaulting to ~/.cache). Empty when there is no home to put it in.
std::string KeptProfileFolder();

// The kept profile for one conversion, locked against other runs of the program meanwhile.
class KeptProfile {
 public:
  // Locks the kept profile; Path() is empty when it is in use or cannot be made.
  KeptProfile();
  // No profile: Path() is empty.
  enum NoneTag { None };
  explicit KeptProfile(NoneTag) {}
  ~KeptProfile();
  KeptProfile(const KeptProfile&) = delete;
  KeptProfile& operator=(const KeptProfile&) = delete;

  const std::string& Path() const { return path_; }
  // Removes the profile, so that the next run makes it anew (after a run that failed with it).
  void Discard();

 private:
  std::string path_;
  int lock_ = -1;
};

// One LibreOffice for many documents (a batch): its profile made once in a private scratch folder
// and removed with the object, LibreOffice started on the first export and stopped with the
// object. A document that hangs or crashes LibreOffice costs at most its time limit and fails
// alone; the next export starts a fresh LibreOffice.
class OfficeInstance {
 public:
  explicit OfficeInstance(WordBridgeOptions options);
  ~OfficeInstance();
  OfficeInstance(const OfficeInstance&) = delete;
  OfficeInstance& operator=(const OfficeInstance&) = delete;

  // As ExportOnce, within options.TimeLimit counted from the call (starting LibreOffice
  // included).
  ExportResult Export(const std::string& input, const std::string& outFolder);
  // Stops LibreOffice (the profile stays for the next export).
  void Stop();
  // True while a kept LibreOffice is running (false when it runs once per document).
  bool Running() const { return office_.Running(); }
  const WordBridgeOptions& Options() const { return options_; }

 private:
  enum class Start { Ready, Failed, NoBridge };
  Start StartListener(std::chrono::steady_clock::time_point deadline, std::string& reason);

  WordBridgeOptions options_;
  platform::ScratchFolder scratch_;  // the profile, and nothing else
  std::string profile_;
  std::string temp_;       // LibreOffice's temporary files
  std::string binary_;     // soffice.bin, empty when there is none
  bool noBridge_ = false;  // the driver cannot run here: one run per document
  int started_ = 0;        // listeners started, for unique pipe names
  platform::ChildProgram office_;
  platform::ChildProgram driver_;
  std::string socket_;  // the listener's pipe, which a killed LibreOffice leaves behind
  platform::InterruptCleanup socketCleanup_;
};

}  // namespace source
