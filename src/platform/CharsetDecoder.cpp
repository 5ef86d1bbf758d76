#include "platform/CharsetDecoder.h"

#include <iconv.h>

#include <cerrno>

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

}  // namespace

bool IsKnownCharset(std::string_view name) {
  if (!IsSafeName(name)) return false;
  return Iconv(name).ok();
}

std::optional<std::string> DecodeToUtf8(std::string_view text, std::string_view charset) {
  if (!IsSafeName(charset)) return std::nullopt;
  Iconv cd(charset);
  if (!cd.ok()) return std::nullopt;
  return cd.Convert(text);
}

}  // namespace platform
