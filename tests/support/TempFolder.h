#pragma once
// A fresh folder under the system temp folder for one test, removed afterwards.

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // `name` inside the folder.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // The names of the folder's entries, sorted.
  std::vector<std::string> Names() const;

 private:
  std::filesystem::path path_;
};

}  // namespace testsupport
