#pragma once
// Packing an FB2 file into a ZIP archive (libzip).

#include <string>
#include <string_view>

#include "output/SaveError.h"

namespace output {

// The deflate level of the packed entry.
inline constexpr int kZipDeflateLevel = 6;

// Puts `bytes` into the archive `archivePath` as the entry `entryName`, deflated. A new archive
// holds that one entry; an existing one is updated: an entry of the same name is replaced, the
// other entries are kept. The archive is replaced atomically; on failure (also when the existing
// file is not an archive) throws SaveError and leaves the old file as it was.
void WriteZipEntry(const std::string& archivePath, std::string_view entryName,
                   std::string_view bytes);

// The archive bytes that WriteZipEntry writes, from the existing archive's bytes (empty for a
// new archive).
std::string UpdateZipArchive(std::string_view existing, std::string_view entryName,
                             std::string_view bytes, const std::string& archivePath);

}  // namespace output
