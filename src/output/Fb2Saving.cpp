#include "output/Fb2Saving.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "engine/TextUtil.h"
#include "output/AtomicFile.h"
#include "output/ZipArchive.h"
#include "platform/CodePage.h"
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

namespace {

// Which words of eight bytes a save may have to change: those holding a byte below 0x20 (line
// breaks among them) or one of the upper-half bytes it rewrites. A few such bytes (the undefined
// ones of most code pages) are looked for one by one; with more, any upper-half byte counts.
class ChangeFinder {
 public:
  explicit ChangeFinder(const std::array<unsigned char, 256>& action) {
    for (int b = 0x80; b < 256; ++b) {
      if (action[b] == 0) continue;
      if (count_ == wanted_.size()) {
        anyHigh_ = true;
        break;
      }
      wanted_[count_++] = kOnes * static_cast<uint64_t>(b);
    }
  }

  // False only when none of the eight bytes of `word` needs a look.
  bool MayChange(uint64_t word) const {
    uint64_t found = (word - kOnes * 0x20) & ~word & kHighs;  // a byte below 0x20
    if (anyHigh_) return (found | (word & kHighs)) != 0;
    for (size_t k = 0; k < count_; ++k) {
      const uint64_t v = word ^ wanted_[k];
      found |= (v - kOnes) & ~v & kHighs;  // a byte equal to the k-th
    }
    return found != 0;
  }

 private:
  static constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  std::array<uint64_t, 6> wanted_{};
  size_t count_ = 0;
  bool anyHigh_ = false;
};

// The first `max` lines of a text, split as the editors split it (a text ending with a break
// has an empty last line).
std::vector<std::string> FirstLines(std::string_view text, size_t max) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  size_t start = 0;
  while (lines.size() < max) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.emplace_back(text.substr(start, end - start));
    if (end == text.size()) break;
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string Fb2FileBytes(std::string_view text, const platform::CodePage& codePage,
                         const platform::CodePage* declared, bool utfOutput,
                         std::string_view lineBreak) {
  if (utfOutput && !codePage.IsSingleByte()) {
    // iconv converts line by line, so that one undecodable line spoils no other.
    std::vector<std::string> lines = FirstLines(text, text.size() + 1);
    for (std::string& line : lines) line = codePage.ToUtf8(line);
    return Fb2FileBytes(lines, true, "\r\n");
  }
  if (utfOutput) lineBreak = "\r\n";
  const bool crLf = lineBreak == "\r\n";
  // What each byte becomes when it is not copied: 0 copy, 1 line break, 2 replaced.
  std::array<unsigned char, 256> action{};
  action['\r'] = action['\n'] = 1;
  for (int b = 0x80; b < 256; ++b) {
    if (utfOutput || (declared && !declared->Defines(static_cast<unsigned char>(b)))) action[b] = 2;
  }
  const ChangeFinder finder(action);
  std::string out;
  out.reserve(text.size() + (utfOutput ? text.size() / 8 : 0) + 16);
  const size_t n = text.size();
  size_t plain = 0;  // start of the bytes not yet copied
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, text.data() + i, 8);
      if (!finder.MayChange(word)) {
        i += 8;
        continue;
      }
    }
    const auto b = static_cast<unsigned char>(text[i]);
    if (action[b] == 0) {
      ++i;
      continue;
    }
    if (action[b] == 1) {
      const bool pair = b == '\r' && i + 1 < n && text[i + 1] == '\n';
      if (pair && crLf) {  // already as written
        i += 2;
        continue;
      }
      out.append(text, plain, i - plain).append(lineBreak);
      i += pair ? 2 : 1;
    } else {
      out.append(text, plain, i - plain);
      if (utfOutput) {
        platform::AppendUtf8(out, codePage.CharOf(b));
      } else {
        out.append(kUndefinedByteText);
      }
      ++i;
    }
    plain = i;
  }
  out.append(text, plain, std::string_view::npos);
  // UTF-8 output ends its last line with a break too.
  if (utfOutput && n > 0 && text[n - 1] != '\r' && text[n - 1] != '\n') out.append("\r\n");
  return out;
}

int SingleByteCodePageNamed(std::string_view encoding) {
  constexpr std::string_view kPrefix = "windows-";
  if (encoding.substr(0, kPrefix.size()) != kPrefix) return 0;
  const std::string_view digits = encoding.substr(kPrefix.size());
  if (digits.empty() || digits.size() > 4) return 0;
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number == 874 || (number >= 1250 && number <= 1258) ? number : 0;
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

std::string DeclaredEncodingName(std::string_view text, size_t maxLines) {
  // Only the first lines are split off; the rest of a long text is never looked at.
  return DeclaredEncodingName(FirstLines(text, maxLines), maxLines);
}

void WriteFb2File(const std::string& path, std::string_view bytes, bool packToZip) {
  if (packToZip)
    WriteZipEntry(ZipArchiveName(path), ZipEntryName(path), bytes);
  else
    WriteFileAtomically(path, bytes);
}

}  // namespace output
