#include "source/ExportNames.h"

#include <filesystem>

#include "platform/Paths.h"

namespace source {

ExportName WordExportName(std::string_view source, int number) {
  const std::string_view fileName = platform::FileNameOf(source);
  const std::string_view folder = source.substr(0, source.size() - fileName.size());
  std::string base(folder);
  const std::string_view extension = platform::FileExtensionOf(fileName);
  for (char c : fileName.substr(0, fileName.size() - extension.size())) base += c == ' ' ? '_' : c;
  if (number > 0) base += "_" + std::to_string(number);
  return {base + ".htm", base + ".files"};
}

ExportName ChooseWordExportName(std::string_view source,
                                const std::function<bool(const std::string&)>& taken) {
  for (int number = 0;; ++number) {
    ExportName name = WordExportName(source, number);
    if (!taken(name.Html) && !taken(name.PictureFolder)) return name;
  }
}

bool PathTaken(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace source
