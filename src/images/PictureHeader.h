#pragma once
// The size a picture file announces in its first bytes, found without reading the rest: the
// picture can be refused before a large file is read or any pixel memory is taken.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace images {

struct PictureHeader {
  const char* Kind;  // "JPEG", "PNG" or "GIF"
  int64_t Width = 0;
  int64_t Height = 0;
};

// Up to `count` bytes of the file from `offset`; fewer at its end.
using ReadAtFn = std::function<std::string(uint64_t offset, size_t count)>;

// The kind and size of a JPEG (its frame header, found by skipping the segments before it
// without reading their contents), PNG (its IHDR chunk) or GIF (its logical screen). Nothing when
// the bytes start like none of them or the size is not where it belongs: the decoder then says
// what is wrong.
std::optional<PictureHeader> ScanPictureHeader(const ReadAtFn& readAt);

}  // namespace images
