#include "engine/TextUtil.h"

#include <cstring>

namespace engine {

std::string_view Trim(std::string_view s) {
  size_t first = 0;
  while (first < s.size() && static_cast<unsigned char>(s[first]) <= 32) ++first;
  size_t last = s.size();
  while (last > first && static_cast<unsigned char>(s[last - 1]) <= 32) --last;
  return s.substr(first, last - first);
}

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = ToLowerAscii(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

std::string NormalizeLineBreaks(std::string_view text) {
  const void* nul = std::memchr(text.data(), 0, text.size());
  if (nul) text = text.substr(0, static_cast<const char*>(nul) - text.data());
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 2);
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
    out.append(text, i, j - i);
    out.append("\r\n");
    if (j < text.size() && text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ++j;
    i = j + 1;
  }
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (;;) {
    size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text, pos, std::string_view::npos);
  return out;
}

}  // namespace engine
