#include "output/Fb2Saving.h"

#include "engine/TextUtil.h"
#include "output/AtomicFile.h"
#include "output/ZipArchive.h"
#include "platform/Paths.h"

namespace output {

std::string Fb2FileBytes(const std::vector<std::string>& lines, bool utfOutput,
                         std::string_view lineBreak) {
  std::string bytes;
  size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 2;
  bytes.reserve(total);
  if (utfOutput) {
    size_t count = lines.size();
    if (count > 0 && lines.back().empty()) --count;
    for (size_t i = 0; i < count; ++i) {
      bytes.append(lines[i]);
      bytes.append("\r\n");
    }
    return bytes;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) bytes.append(lineBreak);
    bytes.append(lines[i]);
  }
  return bytes;
}

std::string ZipArchiveName(std::string_view fb2Path) {
  return std::string(fb2Path) + ".zip";
}

std::string ZipEntryName(std::string_view fb2Path) {
  return platform::ChangeFileExtension(platform::FileNameOf(fb2Path), ".fb2");
}

std::string WithFb2Extension(std::string_view path) {
  if (engine::ToLowerAscii(platform::FileExtensionOf(path)) == ".fb2") return std::string(path);
  return platform::ChangeFileExtension(path, ".fb2");
}

std::string DeclaredEncodingName(const std::vector<std::string>& lines, size_t maxLines) {
  constexpr std::string_view kMarker = "encoding=\"";
  std::string name;
  for (size_t i = 0; i < lines.size() && i < maxLines; ++i) {
    std::string lower = engine::ToLowerAscii(lines[i]);
    size_t at = lower.find(kMarker);
    if (at == std::string::npos) continue;
    size_t start = at + kMarker.size();
    size_t quote = lower.find('"', start);
    name.append(lower, start, quote == std::string::npos ? std::string::npos : quote - start);
  }
  return name;
}

void WriteFb2File(const std::string& path, std::string_view bytes, bool packToZip) {
  if (packToZip)
    WriteZipEntry(ZipArchiveName(path), ZipEntryName(path), bytes);
  else
    WriteFileAtomically(path, bytes);
}

}  // namespace output
