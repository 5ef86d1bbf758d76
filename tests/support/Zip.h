#pragma once
// Reading ZIP archives back in tests (libzip), independent of the code that wrote them.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace testsupport {

struct ZipEntry {
  std::string Content;
  uint16_t Method = 0;  // 8 = deflate
  uint16_t Flags = 0;   // general-purpose bit flags of the central directory
};

// Every entry by name; fails the current test (and returns nothing) when the file is no archive.
std::map<std::string, ZipEntry> ReadZip(const std::string& path);

// Writes an archive with these stored entries, for tests that update an existing archive.
void WriteZip(const std::string& path, const std::map<std::string, std::string>& entries);

}  // namespace testsupport
