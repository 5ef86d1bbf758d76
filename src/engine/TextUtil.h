#pragma once
// Small text conventions shared by every stage: all text is 8-bit bytes in the system code page.

#include <string>
#include <string_view>

namespace engine {

// Trim removes leading and trailing bytes of value 32 or less.
std::string_view Trim(std::string_view s);

// ASCII-only lower-casing: bytes above 127 are left alone.
inline char ToLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
std::string ToLowerAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);

// A text read from a file: split into lines at CR LF, CR or LF, each rejoined with CR LF (the
// last one included); a NUL byte ends the text.
std::string NormalizeLineBreaks(std::string_view text);
// The same, reusing the text's own buffer when it needs no change.
std::string NormalizeLineBreaks(std::string&& text);
inline std::string NormalizeLineBreaks(const char* text) {
  return NormalizeLineBreaks(std::string_view(text));
}

// Replaces every occurrence of `from` by `to` in one left-to-right pass; replaced text is not
// searched again.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace engine
