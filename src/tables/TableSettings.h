#pragma once
// The settings the table renderer reads, as plain values.

#include <string>

namespace tables {

struct TableSettings {
  int MaxImageWidth = 580;          // 0 or less: no wrapping and no scaling
  int MaxImageHeight = 700;         // 0 or less: no scaling
  bool VisibleBorder = true;        // false: the border colour follows the table tag
  std::string FontName = "Tahoma";  // in the system code page
  int FontSize = 8;                 // points, at 96 dots per inch
};

}  // namespace tables
