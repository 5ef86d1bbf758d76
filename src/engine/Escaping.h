#pragma once
// Text-run and attribute helpers shared by the conversion and the HTML cleanup.

#include <string>
#include <string_view>

namespace engine {

// Every CR and LF byte becomes a space; nothing is removed.
std::string CrLfToSpaces(std::string_view run);

// Every "&amp;", in any letter case, becomes "&".
std::string UnescapeAmp(std::string_view text);

// Wraps a value for writing back into HTML: single quotes for "style", double quotes otherwise.
// A value holding that quote is wrapped in the other one instead; a value holding both gets the
// called-for quote written as "&quot;" or "&#39;". The result never ends its value early: a value
// ending in a backslash (which would escape the closing quote) is written without quotes when it
// holds no blank, quote or ">", and otherwise with that last backslash as "&#92;".
std::string QuoteAttributeValue(std::string_view name, std::string_view value);
void AppendQuotedAttributeValue(std::string& out, std::string_view name, std::string_view value);

// XML escaping of text: "&" "<" ">" become entity references, and the control bytes that
// XML 1.0 does not allow (all below 32 but tab, LF and CR) are dropped.
void AppendXmlText(std::string& out, std::string_view text);
// The same for an attribute value between double quotes: "\"" becomes "&quot;" too.
void AppendXmlAttribute(std::string& out, std::string_view value);
std::string XmlEscapeAttribute(std::string_view value);

// True for the control bytes that XML 1.0 does not allow.
constexpr bool IsXmlForbiddenByte(unsigned char b) {
  return b < 32 && b != '\t' && b != '\n' && b != '\r';
}

}  // namespace engine
