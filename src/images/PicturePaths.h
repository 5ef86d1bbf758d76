#pragma once
// File names of pictures: parts of a path, the picture kinds by extension, the names of scaled
// and converted copies.

#include <string>
#include <string_view>

namespace images {

// The file name after the last "/" (the whole text without one).
std::string_view FileNameOf(std::string_view path);
// The folder part of a path with its trailing "/"; empty when there is none.
std::string_view FolderOf(std::string_view path);
// The extension of the file name with its ".", or empty ("a.b/c" has none).
std::string_view ExtensionOf(std::string_view path);
// The path with its extension replaced by `extension` (added when it has none).
std::string ChangeExtension(std::string_view path, std::string_view extension);

// "jpeg" for ".jpg", "png" for ".png" (compared exactly), empty for anything else.
std::string ImageContentType(std::string_view name);

// True when a regular file of that name exists.
bool FileExists(const std::string& path);

// When a file called `name` exists, the name with "~temp" before its extension
// (picture.jpg becomes picture~temp.jpg); otherwise `name` itself.
std::string TempImageName(const std::string& name);

// "%" and two hexadecimal digits become that byte ("%00" excepted); anything else is kept.
std::string PercentDecode(std::string_view text);

}  // namespace images
