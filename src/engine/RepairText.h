#pragma once
// How structure repair reads the FB2 text the walk gave, which need not be XML, and writes text
// that is: tags and attributes as written, references, and the bytes XML does not allow.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Escaping.h"
#include "engine/TextSearch.h"

namespace engine::repair {

constexpr bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
constexpr bool IsNameStart(char c) {
  return IsAsciiLetter(c) || c == '_' || c == ':';
}

// The bytes of a tag or attribute name, by table: names are read for every tag of a body.
inline constexpr std::array<bool, 256> kNameChars = [] {
  std::array<bool, 256> chars{};
  for (int b = 0; b < 128; ++b) {
    const char c = static_cast<char>(b);
    chars[b] = IsNameStart(c) || IsDigit(c) || c == '-' || c == '.';
  }
  return chars;
}();
inline bool IsNameChar(char c) {
  return kNameChars[static_cast<unsigned char>(c)];
}

// Equality of the short strings compared here, without the cost of a library call.
inline bool SameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view v);

// A name the schema takes as an id: no colon, not starting with a digit, "-" or ".".
bool IsXmlName(std::string_view v);

// The length of a well-formed reference at `pos` ("&amp;", "&#1234;", "&#x4D2;"), or 0.
size_t ReferenceLength(std::string_view s, size_t pos);

// The bytes AppendSafeText must look at: "&", "<", ">", '"' and the control bytes XML does not
// allow. Everything else is copied as it stands.
inline constexpr std::array<bool, 256> kSafeTextStops = [] {
  std::array<bool, 256> stops{};
  for (int b = 0; b < 32; ++b) stops[b] = IsXmlForbiddenByte(static_cast<unsigned char>(b));
  for (unsigned char b : {'&', '<', '>', '"'}) stops[b] = true;
  return stops;
}();

// Where the next byte AppendSafeText must look at is, from `i` (the text's size when none).
size_t SkipPlainText(std::string_view s, size_t i);

// At `i`, a byte kSafeTextStops marks: the text AppendSafeText writes for it ("" drops it), with
// `i` moved past the byte; or nothing, with `i` moved past what stays as it is (a reference, or
// '"' outside an attribute).
std::optional<std::string_view> SafeReplacementAt(std::string_view s, size_t& i, bool attribute);

// Text made safe for XML without changing what it reads as: a "&" that opens no reference is
// written "&amp;", "<" and ">" as references (and '"' in an attribute); bytes XML does not allow
// are dropped.
void AppendSafeText(std::string& out, std::string_view s, bool attribute = false);

struct RawTag {
  bool Closing = false;
  bool SelfClosing = false;
  std::string_view Name;
  std::string_view Attributes;  // between the name and the closing ">" (or "/>")
};

// Reads the tag at `pos` (a "<"), setting `end` past its ">"; false when the "<" opens no tag
// and is text.
bool ReadTag(std::string_view s, size_t pos, RawTag& tag, size_t& end);

struct RawAttribute {
  std::string_view Name;
  std::string_view Value;
};

std::vector<RawAttribute> ReadAttributes(std::string_view attributes);

}  // namespace engine::repair
