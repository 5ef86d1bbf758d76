#include "images/Base64.h"

#include <array>
#include <cstring>
#include <optional>

#include "platform/FileOpenError.h"
#include "platform/InputFile.h"

namespace images {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters for every 12-bit value, so three bytes take two look-ups.
struct PairTable {
  std::array<char, 4096 * 2> chars{};
  constexpr PairTable() {
    for (int i = 0; i < 4096; ++i) {
      chars[static_cast<size_t>(i) * 2] = kAlphabet[i >> 6];
      chars[static_cast<size_t>(i) * 2 + 1] = kAlphabet[i & 63];
    }
  }
};
constexpr PairTable kPairs;

// Encodes whole groups of three bytes; `size` must be a multiple of 3.
void EncodeGroups(const uint8_t* in, size_t size, char* out) {
  const char* pairs = kPairs.chars.data();
  for (size_t i = 0; i < size; i += 3, out += 4) {
    const uint32_t v = (uint32_t{in[i]} << 16) | (uint32_t{in[i + 1]} << 8) | in[i + 2];
    std::memcpy(out, pairs + (v >> 12) * 2, 2);
    std::memcpy(out + 2, pairs + (v & 0xfff) * 2, 2);
  }
}

// The last one or two bytes with their padding.
void EncodeTail(const uint8_t* in, size_t size, char* out) {
  const uint32_t v = (uint32_t{in[0]} << 16) | (size > 1 ? uint32_t{in[1]} << 8 : 0);
  out[0] = kAlphabet[v >> 18];
  out[1] = kAlphabet[(v >> 12) & 63];
  out[2] = size > 1 ? kAlphabet[(v >> 6) & 63] : '=';
  out[3] = '=';
}

}  // namespace

void AppendBase64(std::string_view bytes, std::string& out) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t whole = bytes.size() / 3 * 3;
  const size_t start = out.size();
  out.resize(start + Base64Length(bytes.size()));
  char* dst = out.data() + start;
  EncodeGroups(in, whole, dst);
  if (whole < bytes.size()) EncodeTail(in + whole, bytes.size() - whole, dst + whole / 3 * 4);
}

void Base64Writer::Write(std::string_view bytes) {
  const auto* in = reinterpret_cast<const uint8_t*>(bytes.data());
  size_t size = bytes.size();
  // Complete a group left over from the previous piece.
  if (pendingCount_ > 0) {
    uint8_t group[3] = {pending_[0], pending_[1], 0};
    size_t have = pendingCount_;
    while (have < 3 && size > 0) {
      group[have++] = *in++;
      --size;
    }
    if (have < 3) {
      std::memcpy(pending_, group, 2);
      pendingCount_ = have;
      return;
    }
    const size_t at = out_.size();
    out_.resize(at + 4);
    EncodeGroups(group, 3, out_.data() + at);
    pendingCount_ = 0;
  }
  const size_t whole = size / 3 * 3;
  const size_t at = out_.size();
  out_.resize(at + whole / 3 * 4);
  EncodeGroups(in, whole, out_.data() + at);
  pendingCount_ = size - whole;
  std::memcpy(pending_, in + whole, pendingCount_);
}

void Base64Writer::Finish() {
  if (pendingCount_ == 0) return;
  const size_t at = out_.size();
  out_.resize(at + 4);
  EncodeTail(pending_, pendingCount_, out_.data() + at);
  pendingCount_ = 0;
}

std::string EncodeFileBase64(const std::string& path) {
  std::optional<platform::InputFile> file;
  try {
    file.emplace(path, platform::kMaxPictureFileBytes);
  } catch (const platform::FileOpenError&) {
    return {};
  }
  std::string out;
  out.reserve(Base64Length(static_cast<size_t>(file->Size())));
  // Pieces of a multiple of three bytes keep every group inside one piece.
  std::string buffer(3 << 18, '\0');
  Base64Writer writer(out);
  uint64_t offset = 0;
  // Read errors end the text where they happen; the size limit holds for a growing file too.
  for (;;) {
    size_t n = 0;
    try {
      n = file->ReadInto(buffer.data(), buffer.size(), offset);
    } catch (const platform::FileOpenError&) {
    }
    if (offset + n > platform::kMaxPictureFileBytes) n = 0;
    writer.Write(std::string_view(buffer.data(), n));
    offset += n;
    if (n < buffer.size()) break;
  }
  writer.Finish();
  return out;
}

}  // namespace images
