#pragma once
// Reading a tokenized table onto its grid: the counting pass that sizes the grid, the placement
// pass that puts each cell's text where its spans leave room, and the cells' text decoding.

#include <optional>
#include <string>
#include <string_view>

#include "engine/HTMLPars.h"
#include "tables/TableCanvas.h"
#include "tables/TableGrid.h"

namespace platform {
class CodePage;
}

namespace tables {

// Grids larger than this are refused: a bigger table cannot make a useful picture.
inline constexpr int64_t kMaxGridCells = 250'000;

// A colspan or rowspan value read as a browser reads it: leading blanks, then the leading
// decimal digits. No digits or a value below 1 gives 1; values above 1000 give 1000.
int ReadSpan(std::string_view value);

// Black when borders are always visible. Otherwise white (invisible on the white background)
// for a table tag without any attribute or with border="0", black for any other.
Rgb BorderColour(const engine::THTMLTag& table, bool visibleBorder);

// The cell text as collected: trimmed, entities decoded, as characters.
std::u32string DecodeCellText(std::string_view collected, const platform::CodePage& codePage);

struct ScannedTable {
  TableGrid Grid;
  Rgb Border = kBlack;
};

// Runs both passes over the parsed items. Nothing when no row holds a td cell. Throws
// TableError when the grid would be larger than kMaxGridCells.
std::optional<ScannedTable> ScanTable(const engine::THTMLParser& parser, bool visibleBorder,
                                      const platform::CodePage& codePage);

}  // namespace tables
