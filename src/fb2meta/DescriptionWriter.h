#pragma once
// The head of an FB2 document: the XML declaration, the FictionBook start tag and the whole
// description element, made from the book information. Field values are XML-escaped.

#include <string>
#include <string_view>
#include <vector>

#include "fb2meta/BookInfo.h"

namespace fb2meta {

inline constexpr std::string_view kFictionBookNamespace =
    "http://www.gribuser.ru/xml/fictionbook/2.0";
inline constexpr std::string_view kXLinkNamespace = "http://www.w3.org/1999/xlink";

// What the head needs besides the book information.
struct DescriptionInput {
  bool UtfOutput = false;
  std::string EncodingName;     // of the current character set, for 8-bit output
  std::string CoverImageRef;    // the cover's image element, or empty
  std::string DefaultLanguage;  // used when the book's language is empty
};

std::string WriteDescriptionText(const BookInfo& info, const DescriptionInput& input);

// The pieces of a ";"-separated list, trimmed, empty ones left out.
std::vector<std::string_view> SplitList(std::string_view text);

// The version box's number as "#0.0#": rounded to two decimals, a zero second decimal left out,
// always with "."; text that is not a number counts as 0.
std::string FormatVersion(std::string_view version);

}  // namespace fb2meta
