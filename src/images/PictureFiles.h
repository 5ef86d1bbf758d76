#pragma once
// Whole-file reading and writing for pictures.

#include <string>
#include <string_view>

namespace images {

// The file's bytes; throws ImageError when it cannot be read.
std::string ReadPictureFile(const std::string& path);
// Writes (or overwrites) the file; throws ImageError when it cannot be written.
void WritePictureFile(const std::string& path, std::string_view bytes);

}  // namespace images
