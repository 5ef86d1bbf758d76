#pragma once
// Synthetic books for the benchmarks: deterministic, text-heavy HTML in windows-1251, shaped
// like a word-processor export (a style sheet with class rules, chapters, formatted paragraphs,
// links, entities, lists and a few tables).

#include <cstddef>
#include <string>

namespace bench {

std::string MakeHtmlBook(size_t approximateBytes);

// A long English novel as a public-domain e-text edition gives it: XHTML in UTF-8 with an XML
// declaration, a style sheet, a contents table of links, chapters with anchored headings, and
// paragraphs wrapped at 72 columns holding curly quotes, dashes and French phrases with accented
// letters (all of them in windows-1252, a few characters outside it).
std::string MakeXhtmlNovel(size_t approximateBytes);

}  // namespace bench
