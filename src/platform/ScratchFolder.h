#pragma once
// A private temporary folder for files that live only while they are being used (scaled and
// converted pictures, table pictures, a document's export, LibreOffice's profile). It is made on
// first use, readable by the user alone, removed with everything in it when the object goes, and
// removed on an interrupt as well. Its name holds the owner's process id
// ("vellumor-<pid>-XXXXXX"), so that a later run can remove the folders of a process that is gone.

#include <string>
#include <string_view>

#include "platform/Interrupts.h"

namespace platform {

class ScratchFolder {
 public:
  ScratchFolder() = default;
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path with a trailing "/"; the folder is created on the first call.
  // Throws std::system_error when it cannot be made.
  const std::string& Path();
  // The path of a file called `name` inside the folder.
  std::string FilePath(std::string_view name);
  // True once the folder exists.
  bool Created() const { return !path_.empty(); }

 private:
  std::string path_;
  InterruptCleanup cleanup_;
};

// Removes the scratch folders in the temporary folder that belong to this user and name a
// process that no longer exists (left by a run that was killed). Returns how many it removed.
int RemoveAbandonedScratchFolders();

}  // namespace platform
