#include "source/WordExportCleanup.h"

#include <filesystem>
#include <vector>

#include "platform/Paths.h"

namespace source {
namespace {

namespace fs = std::filesystem;

bool IsRealFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(fs::symlink_status(path, ec));
}

void DeleteTree(const fs::path& folder) {
  std::error_code ec;
  // Entries of a folder without write (or search) permission cannot be removed.
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    entries.push_back(it->path());
  }
  for (const fs::path& entry : entries) {
    if (IsRealFolder(entry)) {
      DeleteTree(entry);
    } else {
      fs::remove(entry, ec);  // a link goes as a link
    }
  }
  fs::remove(folder, ec);
}

}  // namespace

void DeleteFolderTree(const std::string& folder) {
  if (folder.empty()) return;
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(folder, ec);
  if (fs::is_symlink(status)) {
    fs::remove(folder, ec);
  } else if (fs::is_directory(status)) {
    DeleteTree(folder);
  }
}

void RemoveWordExport(const std::string& exportPath) {
  if (exportPath.empty()) return;
  const std::string pictures = platform::ChangeFileExtension(exportPath, ".files");
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(exportPath, ec);
  if (fs::exists(status) && !fs::is_directory(status)) fs::remove(exportPath, ec);
  if (fs::exists(fs::symlink_status(pictures, ec))) DeleteFolderTree(pictures);
}

}  // namespace source
