#include "engine/RepairText.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine::repair {

namespace {

// A character XML 1.0 allows.
bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

std::string_view TrimBlanks(std::string_view v) {
  while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
  while (!v.empty() && IsBlank(v.back())) v.remove_suffix(1);
  return v;
}

bool IsXmlName(std::string_view v) {
  if (v.empty()) return false;
  const unsigned char first = static_cast<unsigned char>(v[0]);
  if (!(IsAsciiLetter(v[0]) || v[0] == '_' || first >= 0x80)) return false;
  for (char c : v) {
    if (!(IsNameChar(c) || static_cast<unsigned char>(c) >= 0x80) || c == ':') return false;
  }
  return true;
}

size_t ReferenceLength(std::string_view s, size_t pos) {
  size_t i = pos + 1;
  if (i < s.size() && s[i] == '#') {
    ++i;
    const bool hex = i < s.size() && s[i] == 'x';
    if (hex) ++i;
    uint32_t value = 0;
    size_t digits = 0;
    for (; i < s.size() && digits < 8; ++i, ++digits) {
      const char c = s[i];
      uint32_t d;
      if (IsDigit(c)) {
        d = static_cast<uint32_t>(c - '0');
      } else if (hex && c >= 'a' && c <= 'f') {
        d = static_cast<uint32_t>(c - 'a' + 10);
      } else if (hex && c >= 'A' && c <= 'F') {
        d = static_cast<uint32_t>(c - 'A' + 10);
      } else {
        break;
      }
      value = value * (hex ? 16u : 10u) + d;
    }
    if (digits == 0 || i >= s.size() || s[i] != ';' || !IsXmlChar(value)) return 0;
    return i + 1 - pos;
  }
  for (std::string_view name : {"amp;", "lt;", "gt;", "quot;", "apos;"}) {
    if (s.compare(i, name.size(), name) == 0) return name.size() + 1;
  }
  return 0;
}

// Where the next byte AppendSafeText must look at is, from `i`: eight bytes at a time while a
// word holds none, as text runs are long and such bytes rare.
size_t SkipPlainText(std::string_view s, size_t i) {
  const size_t n = s.size();
#if defined(__SSE2__)
  // Sixteen bytes at a time: text runs are long and the bytes to look at rare.
  const __m128i amp = _mm_set1_epi8('&'), lt = _mm_set1_epi8('<'), gt = _mm_set1_epi8('>');
  const __m128i quote = _mm_set1_epi8('"'), control = _mm_set1_epi8(31);
  while (i + 16 <= n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    // Bytes below 32 (tabs and line breaks among them), "&", "<", ">" and '"'.
    const __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, amp), _mm_cmpeq_epi8(v, lt)),
                     _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, gt), _mm_cmpeq_epi8(v, quote)),
                                  _mm_cmpeq_epi8(_mm_min_epu8(v, control), v)));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask == 0) {
      i += 16;
      continue;
    }
    i += static_cast<size_t>(std::countr_zero(mask));
    if (kSafeTextStops[static_cast<unsigned char>(s[i])]) return i;
    ++i;  // a tab or line break
  }
#endif
  while (i < n && !kSafeTextStops[static_cast<unsigned char>(s[i])]) ++i;
  return i;
}

std::optional<std::string_view> SafeReplacementAt(std::string_view s, size_t& i, bool attribute) {
  switch (s[i]) {
    case '&':
      if (const size_t length = ReferenceLength(s, i); length != 0) {
        i += length;
        return std::nullopt;
      }
      ++i;
      return "&amp;";
    case '<':
      ++i;
      return "&lt;";
    case '>':
      ++i;
      return "&gt;";
    case '"':
      ++i;
      if (!attribute) return std::nullopt;
      return "&quot;";
    default:  // a byte XML does not allow
      ++i;
      return "";
  }
}

void AppendSafeText(std::string& out, std::string_view s, bool attribute) {
  size_t plain = 0;
  for (size_t i = 0; (i = SkipPlainText(s, i)) < s.size();) {
    const size_t at = i;
    if (const auto replacement = SafeReplacementAt(s, i, attribute)) {
      out.append(s.substr(plain, at - plain)).append(*replacement);
      plain = i;
    }
  }
  out.append(s.substr(plain));
}

bool ReadTag(std::string_view s, size_t pos, RawTag& tag, size_t& end) {
  size_t i = pos + 1;
  tag = RawTag{};
  if (i < s.size() && s[i] == '/') {
    tag.Closing = true;
    ++i;
  }
  if (i >= s.size() || !IsNameStart(s[i])) return false;
  const size_t nameStart = i;
  while (i < s.size() && IsNameChar(s[i])) ++i;
  tag.Name = s.substr(nameStart, i - nameStart);
  const size_t attributesStart = i;
  // A quote opens a value only right after "=", as the attributes are read below; elsewhere
  // it is part of a name and must not swallow the text after the tag.
  char quote = 0;
  bool afterEquals = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if ((c == '"' || c == '\'') && afterEquals) {
      quote = c;
      afterEquals = false;
    } else if (c == '>') {
      break;
    } else if (c == '=') {
      afterEquals = true;
    } else if (!IsBlank(c)) {
      afterEquals = false;
    }
  }
  if (i >= s.size()) {
    // A quote that never closes: the first ">" after the name ends the tag.
    i = s.find('>', attributesStart);
    if (i == std::string_view::npos) return false;
  }
  size_t attributesEnd = i;
  if (attributesEnd > attributesStart && s[attributesEnd - 1] == '/') {
    tag.SelfClosing = true;
    --attributesEnd;
  }
  tag.Attributes = s.substr(attributesStart, attributesEnd - attributesStart);
  end = i + 1;
  return true;
}

std::vector<RawAttribute> ReadAttributes(std::string_view s) {
  std::vector<RawAttribute> result;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    const size_t nameStart = i;
    while (i < s.size() && !IsBlank(s[i]) && s[i] != '=') ++i;
    RawAttribute attribute{s.substr(nameStart, i - nameStart), {}};
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i < s.size() && s[i] == '=') {
      ++i;
      while (i < s.size() && IsBlank(s[i])) ++i;
      if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
        const char quote = s[i++];
        const size_t valueStart = i;
        while (i < s.size() && s[i] != quote) ++i;
        attribute.Value = s.substr(valueStart, i - valueStart);
        if (i < s.size()) ++i;
      } else {
        const size_t valueStart = i;
        while (i < s.size() && !IsBlank(s[i])) ++i;
        attribute.Value = s.substr(valueStart, i - valueStart);
      }
    }
    if (!attribute.Name.empty()) result.push_back(attribute);
    if (i == nameStart) ++i;
  }
  return result;
}

}  // namespace engine::repair
