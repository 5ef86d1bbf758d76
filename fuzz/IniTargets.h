#pragma once
// The body of the settings-file fuzz target, shared by the libFuzzer binary and by the unit test
// that replays the inputs kept in fuzz/regressions/fuzz_inifile/.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/IniFile.h"

namespace fuzztargets {

inline void RequireIni(bool condition) {
  if (!condition) std::abort();
}

// A name the program could write: no line break, no blank at either end, and nothing that would
// make its line read as something else ("[", ";", "=", "]").
inline bool IsPlainIniName(std::string_view name, bool isSection) {
  if (name.empty() || name.front() == ' ' || name.front() == '\t' || name.back() == ' ' ||
      name.back() == '\t')
    return false;
  if (!isSection && (name.front() == '[' || name.front() == ';')) return false;
  return name.find_first_of(isSection ? "\r\n]" : "\r\n=") == std::string_view::npos;
}

// Input: section NUL key NUL value NUL file text. Reads and writes the text and checks that a
// write sets exactly its key: the value reads back, and every other key reads as before.
inline int FuzzIniFile(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::string_view parts[3] = {"main", "isUtf", "1"};
  for (std::string_view& part : parts) {
    const size_t nul = in.find('\0');
    if (nul == std::string_view::npos) break;
    part = in.substr(0, nul);
    in.remove_prefix(nul + 1);
  }
  const std::string_view text = in;
  const app::IniKey key{parts[0], parts[1]};
  const std::string_view value = parts[2];

  const app::IniKey probes[] = {
      {"main", "zip"}, {"CheckBoxes", "ChBZIp"}, {"a", "b"}, {key.Section, "zz"}, {"zz", key.Key}};
  std::optional<std::string> before[std::size(probes)];
  for (size_t i = 0; i < std::size(probes); ++i) {
    before[i] = app::IniLookup(text, probes[i]);
    RequireIni(!before[i] || before[i]->size() <= app::kIniMaxValueLength);
    if (before[i]) {
      if (auto n = app::ParseIniInteger(*before[i]))
        RequireIni(app::ParseIniInteger(std::to_string(*n)) == n);
    }
  }
  (void)app::IniHasSection(text, key.Section);

  const std::string after = app::IniAssign(text, key, value);
  if (!IsPlainIniName(key.Section, true) || !IsPlainIniName(key.Key, false)) return 0;

  // What the value reads back as: line breaks became blanks, blanks at the ends are dropped.
  std::string expected(value);
  for (char& c : expected) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const size_t first = expected.find_first_not_of(" \t");
  expected = first == std::string::npos
                 ? std::string()
                 : expected.substr(first, expected.find_last_not_of(" \t") - first + 1);
  expected.resize(std::min(expected.size(), app::kIniMaxValueLength));
  RequireIni(app::IniLookup(after, key) == expected);
  RequireIni(app::IniHasSection(after, key.Section));
  for (size_t i = 0; i < std::size(probes); ++i) {
    const app::IniKey& probe = probes[i];
    const auto same = [](std::string_view a, std::string_view b) {
      if (a.size() != b.size()) return false;
      for (size_t k = 0; k < a.size(); ++k) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[k]) != lower(b[k])) return false;
      }
      return true;
    };
    if (same(probe.Section, key.Section) && same(probe.Key, key.Key)) continue;
    RequireIni(app::IniLookup(after, probe) == before[i]);
  }
  // Writing the same value again changes nothing.
  RequireIni(app::IniAssign(after, key, value) == after);
  return 0;
}

}  // namespace fuzztargets
