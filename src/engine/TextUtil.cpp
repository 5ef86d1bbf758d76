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

namespace {

// Whether the text already has the form NormalizeLineBreaks gives (no NUL, every line ended by
// CR LF, no other break): then the text is its own result. Counting runs far faster than
// rebuilding, and files written on Windows mostly have this form.
bool IsNormalized(std::string_view text) {
  if (text.empty()) return true;
  const size_t n = text.size();
  if (n < 2 || text[n - 2] != '\r' || text[n - 1] != '\n' || text[0] == '\n') return false;
  // One pass without branches, which the compiler runs many bytes at a time: as many CR as LF,
  // every LF after a CR (then every CR stands before an LF too), and no NUL.
  const char* p = text.data();
  size_t cr = p[0] == '\r', lf = 0;
  unsigned bad = p[0] == '\0';
  for (size_t i = 1; i < n; ++i) {
    const char c = p[i];
    cr += c == '\r';
    lf += c == '\n';
    bad |= static_cast<unsigned>((c == '\n') & (p[i - 1] != '\r')) | (c == '\0');
  }
  return bad == 0 && cr == lf;
}

}  // namespace

std::string NormalizeLineBreaks(std::string_view text) {
  if (IsNormalized(text)) return std::string(text);
  const void* nul = std::memchr(text.data(), 0, text.size());
  if (nul) text = text.substr(0, static_cast<const char*>(nul) - text.data());
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 2);
  size_t i = 0;
  while (i < text.size()) {
    // The next break: the nearer of the next LF and the next CR.
    const char* start = text.data() + i;
    const size_t left = text.size() - i;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', left));
    const size_t upTo = lf ? static_cast<size_t>(lf - start) : left;
    const char* cr = static_cast<const char*>(std::memchr(start, '\r', upTo));
    const size_t j = i + (cr ? static_cast<size_t>(cr - start) : upTo);
    out.append(text, i, j - i);
    out.append("\r\n");
    i = j + 1;
    if (j < text.size() && text[j] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  return out;
}

std::string NormalizeLineBreaks(std::string&& text) {
  if (IsNormalized(text)) return std::move(text);
  return NormalizeLineBreaks(std::string_view(text));
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
