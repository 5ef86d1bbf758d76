#pragma once
// What the table layout needs to know about the table font: the width of a line of text and
// the height of a line. The real font and the tests' fixed-pitch stand-in both provide it.

#include <cstdint>
#include <string_view>

namespace tables {

struct TextSize {
  int64_t Width = 0;
  int64_t Height = 0;
  bool operator==(const TextSize&) const = default;
};

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  // Width in pixels of one line; control characters take no room. Widths add up: the width of
  // two texts one after the other is the sum of their widths.
  virtual int64_t TextWidth(std::u32string_view line) const = 0;
  // Height in pixels of a line of text, the same for every text in the font.
  virtual int TextHeight() const = 0;
};

}  // namespace tables
