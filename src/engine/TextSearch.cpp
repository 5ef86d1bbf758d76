#include "engine/TextSearch.h"

#include <cstring>

#include "engine/TextUtil.h"

namespace engine {

namespace {

// Finds the byte that closes the quoted run opened at `open`; -1 when the run never closes.
Pos FindClosingQuote(std::string_view text, Pos open) {
  const char quote = text[open];
  const char* base = text.data();
  const char* end = base + text.size();
  const char* p = base + open + 1;
  while (p < end) {
    const void* hit = std::memchr(p, quote, end - p);
    if (!hit) return -1;
    const char* q = static_cast<const char*>(hit);
    if (q[-1] != '\\') return q - base;  // q[-1] is the opening quote at worst
    p = q + 1;
  }
  return -1;
}

template <typename Match>
Pos FindOutsideQuotes(std::string_view text, Pos from, Match match) {
  if (from < 0) from = 0;
  const Pos n = static_cast<Pos>(text.size());
  for (Pos i = from; i < n; ++i) {
    const char c = text[i];
    if (IsQuote(c)) {
      i = FindClosingQuote(text, i);
      if (i < 0) return -1;
    } else if (match(c)) {
      return i;
    }
  }
  return -1;
}

}  // namespace

Pos FindTextNoCase(std::string_view text, std::string_view pattern, Pos from) {
  const Pos n = static_cast<Pos>(text.size());
  const Pos m = static_cast<Pos>(pattern.size());
  if (m == 0 || from >= n) return -1;
  if (from < 0) from = 0;
  const char first = ToLowerAscii(pattern[0]);
  const char firstUpper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 32) : first;
  const char* base = text.data();
  for (Pos i = from; i + m <= n; ++i) {
    if (first == firstUpper) {
      const void* hit = std::memchr(base + i, first, n - m + 1 - i);
      if (!hit) return -1;
      i = static_cast<const char*>(hit) - base;
    } else if (base[i] != first && base[i] != firstUpper) {
      continue;
    }
    Pos k = 1;
    while (k < m && ToLowerAscii(base[i + k]) == ToLowerAscii(pattern[k])) ++k;
    if (k == m) return i;
  }
  return -1;
}

Pos FindChar(std::string_view text, char c, Pos from) {
  if (from < 0) from = 0;
  if (from >= static_cast<Pos>(text.size())) return -1;
  const void* hit = std::memchr(text.data() + from, c, text.size() - from);
  return hit ? static_cast<const char*>(hit) - text.data() : -1;
}

Pos FindCharOutsideQuotes(std::string_view text, char c, Pos from) {
  return FindOutsideQuotes(text, from, [c](char b) { return b == c; });
}

Pos FindBlankOutsideQuotes(std::string_view text, Pos from) {
  return FindOutsideQuotes(text, from, IsBlank);
}

Pos SkipBlanks(std::string_view text, Pos from) {
  const Pos n = static_cast<Pos>(text.size());
  if (from < 0 || from >= n) return -1;
  for (Pos i = from; i < n; ++i) {
    if (!IsBlank(text[i])) return i;
  }
  return -1;
}

Pos SkipBlanksBack(std::string_view text, Pos from) {
  if (from < 0 || from >= static_cast<Pos>(text.size())) return -1;
  for (Pos i = from; i >= 0; --i) {
    if (!IsBlank(text[i])) return i;
  }
  return -1;
}

bool LooksLikeHtml(std::string_view text) {
  return FindTextNoCase(text, "<html", 0) >= 0 || FindTextNoCase(text, "<script", 0) >= 0 ||
         FindTextNoCase(text, "<body", 0) >= 0;
}

}  // namespace engine
