#include "support/Zip.h"

#include <gtest/gtest.h>
#include <zip.h>

#include "support/Xml.h"

namespace testsupport {
namespace {

uint16_t Read16(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                               static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// The general-purpose flags of each central-directory record, by entry name.
std::map<std::string, uint16_t> CentralFlags(std::string_view bytes) {
  std::map<std::string, uint16_t> flags;
  constexpr std::string_view kSignature("PK\x01\x02", 4);
  for (size_t at = bytes.find(kSignature); at != std::string_view::npos && at + 46 <= bytes.size();
       at = bytes.find(kSignature, at + 4)) {
    uint16_t nameLength = Read16(bytes, at + 28);
    if (at + 46 + nameLength > bytes.size()) break;
    flags[std::string(bytes.substr(at + 46, nameLength))] = Read16(bytes, at + 8);
  }
  return flags;
}

}  // namespace

std::map<std::string, ZipEntry> ReadZip(const std::string& path) {
  std::map<std::string, ZipEntry> entries;
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (archive == nullptr) {
    ADD_FAILURE() << path << " is not a readable archive (libzip error " << error << ")";
    return entries;
  }
  std::map<std::string, uint16_t> flags = CentralFlags(ReadFile(path));
  zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
    ZipEntry entry;
    entry.Method = stat.comp_method;
    entry.Flags = flags[stat.name];
    entry.Content.resize(static_cast<size_t>(stat.size));
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    EXPECT_NE(file, nullptr);
    if (file != nullptr) {
      EXPECT_EQ(zip_fread(file, entry.Content.data(), entry.Content.size()),
                static_cast<zip_int64_t>(entry.Content.size()));
      zip_fclose(file);
    }
    entries[stat.name] = std::move(entry);
  }
  zip_discard(archive);
  return entries;
}

void WriteZip(const std::string& path, const std::map<std::string, std::string>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, content] : entries) {
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    zip_int64_t index = zip_file_add(archive, name.c_str(), source, 0);
    ASSERT_GE(index, 0);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  ASSERT_EQ(zip_close(archive), 0);
}

}  // namespace testsupport
