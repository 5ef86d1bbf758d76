#pragma once
// The groups of tag names the cleanup treats alike. Names are compared in lower case.

#include <cstdint>
#include <string_view>

namespace source {

enum TagGroup : uint8_t {
  kWrapperTag = 1,        // font, span, div, o:p and their closing tags: dropped, class style kept
  kAttributeFreeTag = 2,  // written bare (the table parts keep a few attributes)
  kVoidTag = 4,           // img, br, hr, meta: never left open
  kBreakBefore = 8,       // a line break is written before the tag
};

// The groups of a lower-case tag name, ORed together; 0 for a name in none.
uint8_t TagGroups(std::string_view lowerName);

// For "table", "tr" and "td": whether an attribute (name in any letter case) is kept.
bool KeepsTableAttribute(std::string_view lowerTagName, std::string_view attributeName);

}  // namespace source
