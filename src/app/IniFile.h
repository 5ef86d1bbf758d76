#pragma once
// Settings files in INI form: [section] lines, each followed by its key=value entries.
//
// - Section and key names match without regard to ASCII letter case; blanks around names and
//   values are not part of them. Lines starting with ";" are comments. When a section or a key
//   appears twice, the first one counts.
// - Writing one key rewrites that entry in place, or appends it to its section (the section to
//   the end of the file, the file created when missing); every other line stays byte for byte.
//   Each write goes to the disk at once, atomically.
// - Integers are written in decimal and read in decimal or, after "0x" / "0X", in hexadecimal.
//   Booleans are written "1" / "0" and read as an integer that is not zero. A missing value, or
//   one that does not parse, gives the caller's default. Text values are read up to 2047 bytes.
//
// Text is 8-bit, in the system code page.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace app {

inline constexpr size_t kIniMaxValueLength = 2047;

struct IniKey {
  std::string_view Section;
  std::string_view Key;
};

// --- The format over a file's text (pure)

// The value of a key, cut to kIniMaxValueLength; nothing when the section or key is missing.
std::optional<std::string> IniLookup(std::string_view text, const IniKey& key);
bool IniHasSection(std::string_view text, std::string_view section);
// The text with the key set to `value`. Line breaks inside the value are written as blanks, so a
// value can never add lines of its own.
std::string IniAssign(std::string_view text, const IniKey& key, std::string_view value);
// A decimal or "0x" hexadecimal integer with an optional sign, blanks around allowed.
std::optional<int> ParseIniInteger(std::string_view value);

// --- A settings file on disk

// A key could not be written; what() is "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
 public:
  explicit IniWriteError(const std::string& path);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Every read looks at the file as it is now; a missing or unreadable file reads as empty.
class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  std::string ReadString(const IniKey& key, std::string_view defaultValue) const;
  int ReadInteger(const IniKey& key, int defaultValue) const;
  bool ReadBool(const IniKey& key, bool defaultValue) const;
  bool SectionExists(std::string_view section) const;

  // Each throws IniWriteError when the file cannot be written; the file is then unchanged.
  void WriteString(const IniKey& key, std::string_view value);
  void WriteInteger(const IniKey& key, int value);
  void WriteBool(const IniKey& key, bool value);

 private:
  // The file's text; nothing when it exists but cannot be read.
  std::optional<std::string> Load() const;

  std::string path_;
};

}  // namespace app
