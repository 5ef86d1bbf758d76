#pragma once
// Synthetic books for the benchmarks: deterministic, text-heavy HTML in windows-1251, shaped
// like a word-processor export (a style sheet with class rules, chapters, formatted paragraphs,
// links, entities, lists and a few tables).

#include <cstddef>
#include <string>

namespace bench {

std::string MakeHtmlBook(size_t approximateBytes);

}  // namespace bench
