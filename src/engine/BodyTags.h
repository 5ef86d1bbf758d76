#pragma once
// What FB2 text each HTML body tag becomes. Pure functions over the tag name: attributes are
// never looked at, nothing is balanced, nothing is looked ahead.

#include <string_view>

namespace engine {

// name: lower-case tag name ("/" first for a closing tag); inTable: the walk's TableDepth is not
// 0; level: TitleHeadingLevel (0 = h1 ... 5 = h6); inParagraph: read, and changed by li and /li.
// The result views a static literal (possibly empty).
std::string_view MapBodyTag(std::string_view name, bool inTable, int level, bool& inParagraph);
std::string_view MapHeadingTag(std::string_view name, bool inTable, int level);

}  // namespace engine
