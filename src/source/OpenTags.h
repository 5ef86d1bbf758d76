#pragma once
// The stack of elements the cleanup has opened and not yet closed, and what closing one writes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace source {

// Class-style markers of a tag: "<b>" outside, "<i>" inside.
enum StyleMarkers : uint8_t { kNoMarkers = 0, kBold = 1, kItalic = 2 };

void AppendOpenMarkers(std::string& out, uint8_t markers);
void AppendCloseMarkers(std::string& out, uint8_t markers);

// One open element. The name views the tag's name as written, in the tokenizer's buffer.
struct OpenTag {
  std::string_view Name;
  uint8_t Markers = kNoMarkers;
  bool Wrapper = false;    // a wrapper closes with its markers only
  bool HasEndTag = false;  // false only for the bottom entry, which stands for "nothing open"

  // Whether `lowerEndName` ("/p") is the closing tag this element expects.
  bool ClosedBy(std::string_view lowerEndName) const;
  // What closing the element writes: its markers, then its closing tag unless it is a wrapper.
  void AppendCloseText(std::string& out) const;
};

class OpenTags {
 public:
  OpenTags() {
    entries_.reserve(64);
    entries_.emplace_back();
  }

  void Push(const OpenTag& tag) { entries_.push_back(tag); }
  // The innermost open element, removed; with nothing open, an entry that closes nothing.
  OpenTag Pop() {
    if (entries_.size() == 1) return entries_.front();
    OpenTag top = entries_.back();
    entries_.pop_back();
    return top;
  }
  const OpenTag& Top() const { return entries_.back(); }

 private:
  std::vector<OpenTag> entries_;  // entries_[0] is the permanent bottom entry
};

}  // namespace source
