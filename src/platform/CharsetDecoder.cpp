#include "platform/CharsetDecoder.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {
namespace {

bool IsSafeName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_' || c == '.' || c == ':' || c == '(' || c == ')';
    if (!ok) return false;
  }
  return true;
}

class Iconv {
 public:
  explicit Iconv(std::string_view from) : cd_(iconv_open("UTF-8", std::string(from).c_str())) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Nothing on an invalid or incomplete sequence.
  std::optional<std::string> Convert(std::string_view in) {
    std::string out(in.size() + in.size() / 2 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t done = 0;
    for (;;) {
      char* dst = out.data() + done;
      size_t dstLeft = out.size() - done;
      // Once the input is used up, a call without input writes what the shift state still holds.
      const bool flushing = srcLeft == 0;
      const size_t rc = flushing ? iconv(cd_, nullptr, nullptr, &dst, &dstLeft)
                                 : iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      done = out.size() - dstLeft;
      if (rc == static_cast<size_t>(-1)) {
        if (errno != E2BIG) return std::nullopt;
        out.resize(out.size() * 2);
        continue;
      }
      if (flushing) break;
    }
    out.resize(done);
    return out;
  }

 private:
  iconv_t cd_;
};

bool IsUtf8Name(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return lower == "utf-8" || lower == "utf8";
}

// Whether `text` is UTF-8 as iconv reads it: shortest forms only, no surrogates, four-byte forms
// up to 0x1FFFFF (iconv takes those past U+10FFFF too), no sequence cut off at the end. ASCII is
// skipped eight bytes at a time.
bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, p + i, 8);
      if (!(word & 0x8080808080808080ull)) {
        i += 8;
        continue;
      }
    }
    const unsigned char b0 = p[i];
    if (b0 < 0x80) {
      ++i;
      continue;
    }
    size_t count;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      count = 1;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      count = 2;
      if (b0 == 0xE0) low = 0xA0;
      if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF7) {
      count = 3;
      if (b0 == 0xF0) low = 0x90;
    } else {
      return false;
    }
    if (n - i <= count) return false;
    if (p[i + 1] < low || p[i + 1] > high) return false;
    for (size_t k = 2; k <= count; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
    }
    i += count + 1;
  }
  return true;
}

}  // namespace

bool IsKnownCharset(std::string_view name) {
  if (!IsSafeName(name)) return false;
  return Iconv(name).ok();
}

std::optional<std::string> DecodeToUtf8(std::string_view text, std::string_view charset) {
  if (!IsSafeName(charset)) return std::nullopt;
  // UTF-8 into UTF-8 is a check, not a conversion.
  if (IsUtf8Name(charset)) {
    if (!IsValidUtf8(text)) return std::nullopt;
    return std::string(text);
  }
  Iconv cd(charset);
  if (!cd.ok()) return std::nullopt;
  return cd.Convert(text);
}

}  // namespace platform
