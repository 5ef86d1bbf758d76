#include "source/Fb2Reopen.h"

#include <cstring>

namespace source {

std::string_view Fb2LineBreakStyle(std::string_view bytes) {
  const bool cr = bytes.find('\r') != std::string_view::npos;
  const bool lf = bytes.find('\n') != std::string_view::npos;
  if (cr && !lf) return "\r";
  if (lf && !cr) return "\n";
  return "\r\n";
}

Fb2Text ReadFb2Text(std::string_view bytes, bool utf8,
                    const std::function<std::string(std::string_view)>& fromUtf8) {
  Fb2Text result{{}, Fb2LineBreakStyle(bytes)};
  if (!utf8) {
    result.Text.assign(bytes);
    return result;
  }
  if (const void* nul = std::memchr(bytes.data(), 0, bytes.size())) {
    bytes = bytes.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - bytes.data()));
  }
  result.Text.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    size_t j = i;
    while (j < bytes.size() && bytes[j] != '\r' && bytes[j] != '\n') ++j;
    if (i > 0) result.Text += result.LineBreak;
    result.Text += fromUtf8(bytes.substr(i, j - i));
    if (j < bytes.size() && bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n') ++j;
    i = j + 1;
    if (i == bytes.size()) result.Text += result.LineBreak;  // the file ends with a line break
  }
  return result;
}

}  // namespace source
