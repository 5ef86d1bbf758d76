#include "app/IniFile.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <utility>

#include "engine/TextUtil.h"
#include "platform/WholeFile.h"

namespace app {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One line of the text: its content [Start, End) and where the next line starts.
struct Line {
  size_t Start;
  size_t End;
  size_t Next;
};

enum class LineKind { Other, Section, Entry };

struct ParsedLine {
  LineKind Kind = LineKind::Other;
  std::string_view Name;   // the section or key name
  std::string_view Value;  // an entry's value
};

ParsedLine Parse(std::string_view content) {
  const std::string_view trimmed = TrimBlanks(content);
  if (trimmed.empty() || trimmed.front() == ';') return {};
  if (trimmed.front() == '[') {
    const size_t close = trimmed.find(']');
    if (close == std::string_view::npos) return {};
    return {LineKind::Section, TrimBlanks(trimmed.substr(1, close - 1)), {}};
  }
  const size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return {};
  return {LineKind::Entry, TrimBlanks(trimmed.substr(0, equals)),
          TrimBlanks(trimmed.substr(equals + 1))};
}

// Walks the lines of a text; a final line break starts no further line.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  bool Next(Line& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    size_t next = end;
    if (next < text_.size()) {
      next += (text_[next] == '\r' && next + 1 < text_.size() && text_[next + 1] == '\n') ? 2 : 1;
    }
    line = {pos_, end, next};
    pos_ = next;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// The first line break of the text, CR LF for a text without one.
std::string_view LineBreakOf(std::string_view text) {
  const size_t at = text.find_first_of("\r\n");
  if (at == std::string_view::npos) return "\r\n";
  if (text[at] == '\n') return "\n";
  return (at + 1 < text.size() && text[at + 1] == '\n') ? "\r\n" : "\r";
}

// Where a key of a section lies in the text.
struct KeyPlace {
  bool SectionFound = false;
  std::optional<Line> Entry;        // the key's line
  std::optional<Line> LastContent;  // the section's last line that is not blank
  std::string_view Value;           // the key's value, when found
};

KeyPlace Find(std::string_view text, const IniKey& key) {
  KeyPlace place;
  LineReader reader(text);
  Line line{};
  bool inSection = false;
  while (reader.Next(line)) {
    const ParsedLine parsed = Parse(text.substr(line.Start, line.End - line.Start));
    if (parsed.Kind == LineKind::Section) {
      if (inSection) break;  // the section ended; a later one of the same name does not count
      if (engine::EqualsNoCase(parsed.Name, key.Section)) {
        inSection = true;
        place.SectionFound = true;
        place.LastContent = line;
      }
      continue;
    }
    if (!inSection) continue;
    if (!TrimBlanks(text.substr(line.Start, line.End - line.Start)).empty())
      place.LastContent = line;
    if (parsed.Kind == LineKind::Entry && engine::EqualsNoCase(parsed.Name, key.Key)) {
      place.Entry = line;
      place.Value = parsed.Value;
      break;
    }
  }
  return place;
}

std::string WithoutLineBreaks(std::string_view value) {
  std::string out(value);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

}  // namespace

std::optional<std::string> IniLookup(std::string_view text, const IniKey& key) {
  const KeyPlace place = Find(text, key);
  if (!place.Entry) return std::nullopt;
  return std::string(place.Value.substr(0, kIniMaxValueLength));
}

bool IniHasSection(std::string_view text, std::string_view section) {
  return Find(text, {section, {}}).SectionFound;
}

std::string IniAssign(std::string_view text, const IniKey& key, std::string_view value) {
  const std::string_view lineBreak = LineBreakOf(text);
  const std::string entry = WithoutLineBreaks(key.Key) + "=" + WithoutLineBreaks(value);
  const KeyPlace place = Find(text, key);
  std::string out;
  out.reserve(text.size() + entry.size() + key.Section.size() + 8);
  if (place.Entry) {
    out.append(text.substr(0, place.Entry->Start));
    out.append(entry);
    out.append(text.substr(place.Entry->End));
    return out;
  }
  if (place.SectionFound) {
    const Line& after = *place.LastContent;
    if (after.Next > after.End) {
      out.append(text.substr(0, after.Next));
      out.append(entry);
      out.append(lineBreak);
      out.append(text.substr(after.Next));
    } else {  // the section's last line ends the text without a line break
      out.append(text);
      out.append(lineBreak);
      out.append(entry);
      out.append(lineBreak);
    }
    return out;
  }
  out.append(text);
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') out.append(lineBreak);
  out.append("[");
  out.append(WithoutLineBreaks(key.Section));
  out.append("]");
  out.append(lineBreak);
  out.append(entry);
  out.append(lineBreak);
  return out;
}

std::optional<int> ParseIniInteger(std::string_view value) {
  value = TrimBlanks(value);
  bool negative = false;
  if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  int base = 10;
  if (value.size() > 1 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
    base = 16;
    value.remove_prefix(2);
  }
  if (value.empty()) return std::nullopt;
  int64_t magnitude = 0;
  for (char c : value) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  const int64_t result = negative ? -magnitude : magnitude;
  if (result > INT32_MAX || result < INT32_MIN) return std::nullopt;
  return static_cast<int>(result);
}

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path), path_(path) {}

std::optional<std::string> IniFile::Load() const {
  std::error_code error;
  if (std::filesystem::status(path_, error).type() == std::filesystem::file_type::not_found)
    return std::string();
  return platform::ReadWholeFile(path_);
}

std::string IniFile::ReadString(const IniKey& key, std::string_view defaultValue) const {
  const std::optional<std::string> text = Load();
  std::optional<std::string> value = text ? IniLookup(*text, key) : std::nullopt;
  return value ? std::move(*value) : std::string(defaultValue);
}

int IniFile::ReadInteger(const IniKey& key, int defaultValue) const {
  const std::optional<std::string> text = Load();
  const std::optional<std::string> value = text ? IniLookup(*text, key) : std::nullopt;
  if (!value) return defaultValue;
  return ParseIniInteger(*value).value_or(defaultValue);
}

bool IniFile::ReadBool(const IniKey& key, bool defaultValue) const {
  return ReadInteger(key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::SectionExists(std::string_view section) const {
  const std::optional<std::string> text = Load();
  return text && IniHasSection(*text, section);
}

void IniFile::WriteString(const IniKey& key, std::string_view value) {
  // A file that exists but cannot be read is not replaced: its other entries would be lost.
  const std::optional<std::string> text = Load();
  if (!text) throw IniWriteError(path_);
  const std::string updated = IniAssign(*text, key, value);
  if (updated == *text) return;
  // Settings files are small and rewritten key by key: the rename keeps them whole, no flush.
  if (platform::WriteFileAtomically(path_, updated, platform::Durability::Unflushed) != 0)
    throw IniWriteError(path_);
}

void IniFile::WriteInteger(const IniKey& key, int value) {
  WriteString(key, std::to_string(value));
}

void IniFile::WriteBool(const IniKey& key, bool value) {
  WriteString(key, value ? "1" : "0");
}

}  // namespace app
