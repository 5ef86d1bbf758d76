#include "platform/ScratchFolder.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "vellumor-";

fs::path TemporaryFolder() {
  std::error_code ec;
  fs::path base = fs::temp_directory_path(ec);
  if (ec) base = "/tmp";
  return base;
}

// The owner's process id of a scratch folder name "vellumor-<pid>-XXXXXX", or 0.
pid_t OwnerOf(std::string_view name) {
  if (name.substr(0, kPrefix.size()) != kPrefix) return 0;
  name.remove_prefix(kPrefix.size());
  const size_t dash = name.find('-');
  if (dash == std::string_view::npos || name.size() - dash - 1 != 6) return 0;
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dash, pid);
  if (error != std::errc() || end != name.data() + dash || pid <= 0) return 0;
  return pid;
}

}  // namespace

ScratchFolder::~ScratchFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
}

const std::string& ScratchFolder::Path() {
  if (!path_.empty()) return path_;
  std::string pattern =
      (TemporaryFolder() / (std::string(kPrefix) + std::to_string(getpid()) + "-XXXXXX")).string();
  // mkdtemp makes the folder with mode 0700 under a name nobody else can have taken.
  if (!mkdtemp(pattern.data())) {
    throw std::system_error(errno, std::generic_category(), "cannot make a temporary folder");
  }
  cleanup_ = InterruptCleanup::Tree(pattern);
  path_ = pattern + "/";
  return path_;
}

std::string ScratchFolder::FilePath(std::string_view name) {
  std::string out = Path();
  out += name;
  return out;
}

int RemoveAbandonedScratchFolders() {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(TemporaryFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    const pid_t owner = OwnerOf(it->path().filename().string());
    if (owner == 0) continue;
    struct stat info {};
    if (lstat(it->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
      continue;
    if (kill(owner, 0) == 0 || errno != ESRCH) continue;  // still running, or not ours to ask
    std::error_code ignored;
    if (fs::remove_all(it->path(), ignored) > 0) ++removed;
  }
  return removed;
}

}  // namespace platform
