#pragma once
// File-name pieces of a path, by the rules the commands use: the folder part ends at the last
// "/", the extension starts at the last "." of the file name and includes it.

#include <string>
#include <string_view>

namespace platform {

// "a/b/Tale.htm" gives "Tale.htm".
std::string_view FileNameOf(std::string_view path);
// "a/b/Tale.htm" gives ".htm"; a name without "." gives "".
std::string_view FileExtensionOf(std::string_view path);
// "a/b/Tale.htm" gives "Tale".
std::string_view FileStemOf(std::string_view path);
// The extension replaced by (or, when there is none, extended with) `extension`.
std::string ChangeFileExtension(std::string_view path, std::string_view extension);
// True when `path` names an existing file that is not a folder. Otherwise errno tells why: what
// stat said (ENOENT for an empty path), or EISDIR for a folder.
bool IsExistingFile(const std::string& path);

}  // namespace platform
