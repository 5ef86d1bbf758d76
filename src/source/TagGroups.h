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

// A tag name of 1 to 8 bytes packed into one integer, so that names compare as numbers; 0 for an
// empty or a longer name, which is no name of any group. (Tag names hold no NUL byte.)
constexpr uint64_t NameKey(std::string_view name) {
  if (name.size() > 8) return 0;
  uint64_t key = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    key |= static_cast<uint64_t>(static_cast<unsigned char>(name[i])) << (8 * i);
  }
  return key;
}

// The groups of a lower-case tag name (given by its key), ORed together; 0 for a name in none.
uint8_t TagGroups(uint64_t lowerNameKey);

// For "table", "tr" and "td": whether an attribute (name in any letter case) is kept.
bool KeepsTableAttribute(uint64_t lowerTagKey, std::string_view attributeName);

}  // namespace source
