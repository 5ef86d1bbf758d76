#include "app/SourceConversion.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "engine/TextUtil.h"
#include "platform/Paths.h"

namespace app {
namespace {

constexpr std::array<std::string_view, 4> kHtmlExtensions = {".htm", ".html", ".xhtml", ".xht"};
constexpr std::array<std::string_view, 3> kWordExtensions = {".doc", ".docx", ".rtf"};

}  // namespace

SourceKind SourceKindOf(std::string_view path) {
  const std::string extension = engine::ToLowerAscii(platform::FileExtensionOf(path));
  for (std::string_view html : kHtmlExtensions)
    if (extension == html) return SourceKind::Html;
  for (std::string_view word : kWordExtensions)
    if (extension == word) return SourceKind::WordDocument;
  return SourceKind::None;
}

std::string SourceExtensionList() {
  std::string list;
  for (std::string_view extension : kHtmlExtensions)
    list.append(list.empty() ? "(" : ", ").append(extension);
  for (std::string_view extension : kWordExtensions) list.append(", ").append(extension);
  return list + ")";
}

std::optional<SourceConversion> CheckSourceFile(const std::string& path) {
  namespace fs = std::filesystem;
  const auto unusable = [&path](int code, std::string_view why) {
    SourceConversion outcome;
    outcome.ErrorCode = code;
    outcome.Reason = "Cannot open file \"" + path + "\". " + std::string(why);
    return outcome;
  };
  const auto failed = [&unusable](int code) {
    return unusable(code, std::generic_category().message(code));
  };
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec) return failed(ec.value());
  if (fs::is_directory(status)) return failed(EISDIR);
  if (!fs::is_regular_file(status)) return unusable(EINVAL, "Not a regular file");
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return failed(errno != 0 ? errno : EIO);
  std::fclose(file);
  return std::nullopt;
}

}  // namespace app
