#pragma once
// Standard Base64 (A-Z a-z 0-9 + /, "=" padding) as one unbroken line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace images {

// The length of the Base64 text of `size` bytes.
constexpr size_t Base64Length(size_t size) {
  return (size + 2) / 3 * 4;
}

// Appends the Base64 text of the bytes to `out`.
void AppendBase64(std::string_view bytes, std::string& out);

// Encodes a byte stream given in pieces of any length, appending to `out`; the pieces join as if
// encoded in one go. Finish() writes the padding of the last group.
class Base64Writer {
 public:
  explicit Base64Writer(std::string& out) : out_(out) {}
  void Write(std::string_view bytes);
  void Finish();

 private:
  std::string& out_;
  uint8_t pending_[2] = {};
  size_t pendingCount_ = 0;
};

// The Base64 text of the whole file; empty when no such file exists, or when it is no regular
// file or larger than platform::kMaxPictureFileBytes (nothing of it is read then). Reading stops
// at the end of the file or at a read error.
std::string EncodeFileBase64(const std::string& path);

}  // namespace images
