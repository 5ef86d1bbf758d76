#include "app/SourceConversion.h"

#include <array>

#include "engine/TextUtil.h"
#include "platform/InputFile.h"
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
  const std::optional<platform::InputProblem> problem =
      platform::CheckInputFile(path, platform::kMaxSourceFileBytes);
  if (!problem) return std::nullopt;
  SourceConversion outcome;
  outcome.ErrorCode = problem->Error;
  outcome.Reason = platform::CannotOpenMessage(path, problem->Reason);
  return outcome;
}

}  // namespace app
