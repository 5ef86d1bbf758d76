#include "tables/TableScan.h"

#include <algorithm>
#include <vector>

#include "engine/Entities.h"
#include "engine/TextUtil.h"
#include "platform/CodePage.h"
#include "tables/TableError.h"

namespace tables {

namespace {

constexpr int kMaxSpan = 1000;

bool IsHtmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

struct Spans {
  int Col = 1;
  int Row = 1;
};

Spans SpansOf(const engine::THTMLTag& tag) {
  Spans spans;
  for (size_t i = 0; i < tag.ParamCount(); ++i) {
    const engine::THTMLParam p = tag.Param(i);
    const std::string_view name = p.Name.View();
    if (engine::EqualsNoCase(name, "colspan")) spans.Col = ReadSpan(p.Value.View());
    if (engine::EqualsNoCase(name, "rowspan")) spans.Row = ReadSpan(p.Value.View());
  }
  return spans;
}

void AppendUnicode(std::u32string& out, std::string_view bytes, const platform::CodePage& cp) {
  if (cp.IsSingleByte()) {
    for (char c : bytes) out.push_back(cp.CharOf(static_cast<unsigned char>(c)));
    return;
  }
  const std::string utf8 = cp.ToUtf8(bytes);
  size_t pos = 0;
  while (pos < utf8.size()) {
    if (auto c = platform::DecodeUtf8(utf8, pos)) {
      out.push_back(*c);
    } else {
      out.push_back(U'\uFFFD');
      ++pos;
    }
  }
}

// The character of an XML reference (without "&" and ";"), or 0 when it names none.
char32_t ReferencedCharacter(std::string_view name) {
  if (name == "amp") return U'&';
  if (name == "lt") return U'<';
  if (name == "gt") return U'>';
  if (name == "quot") return U'"';
  if (name == "apos") return U'\'';
  if (name.size() < 2 || name[0] != '#') return 0;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return 0;
  char32_t value = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      return 0;
    }
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
  }
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return value;
}

}  // namespace

int ReadSpan(std::string_view value) {
  size_t i = 0;
  while (i < value.size() && IsHtmlSpace(value[i])) ++i;
  int n = 0;
  bool digits = false;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    digits = true;
    n = std::min(kMaxSpan + 1, n * 10 + (value[i] - '0'));
  }
  if (!digits || n < 1) return 1;
  return std::min(n, kMaxSpan);
}

Rgb BorderColour(const engine::THTMLTag& table, bool visibleBorder) {
  if (visibleBorder) return kBlack;
  if (table.ParamCount() == 0) return kWhite;
  for (size_t i = 0; i < table.ParamCount(); ++i) {
    const engine::THTMLParam p = table.Param(i);
    if (engine::EqualsNoCase(p.Name.View(), "border")) {
      return p.Value.View() == "0" ? kWhite : kBlack;
    }
  }
  return kBlack;
}

std::u32string DecodeCellText(std::string_view collected, const platform::CodePage& codePage) {
  // The entity decoder writes XML text: decoded characters as code-page bytes, characters the
  // code page lacks as numeric references, and markup characters escaped. Undo the escaping so
  // that every character is drawn as itself.
  const std::string xml = engine::DecodeEntities(engine::Trim(collected), codePage);
  std::u32string out;
  out.reserve(xml.size());
  const std::string_view text = xml;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '&') {
      ++i;
      continue;
    }
    const size_t semicolon = text.find(';', i + 1);
    if (semicolon == std::string_view::npos) break;
    const char32_t c = ReferencedCharacter(text.substr(i + 1, semicolon - i - 1));
    if (c == 0) {
      ++i;
      continue;
    }
    AppendUnicode(out, text.substr(start, i - start), codePage);
    out.push_back(c);
    i = start = semicolon + 1;
  }
  AppendUnicode(out, text.substr(start), codePage);
  return out;
}

std::optional<ScannedTable> ScanTable(const engine::THTMLParser& parser, bool visibleBorder,
                                      const platform::CodePage& codePage) {
  ScannedTable table;
  // Counting pass. A row also ends where the next one starts or the text ends, since a closing
  // tr tag may be left out.
  int rows = 0;
  int cols = 0;
  {
    bool inTable = false;
    bool inRow = false;
    int cells = 0;
    for (engine::ItemRef item : parser) {
      if (!item.IsTag()) continue;
      const engine::THTMLTag tag = item.AsTag();
      const std::string n = tag.LowerName();
      if (n == "table") {
        inTable = true;
        table.Border = BorderColour(tag, visibleBorder);
      } else if (n == "/table") {
        inTable = false;
      }
      if (inTable && n == "tr") {
        if (inRow) cols = std::max(cols, cells);
        inRow = true;
        if (rows < INT32_MAX) ++rows;
        cells = 0;
      } else if (inTable && n == "/tr") {
        inRow = false;
        cols = std::max(cols, cells);
      }
      if (inRow && n == "td" && cells < INT32_MAX) ++cells;
    }
    if (inRow) cols = std::max(cols, cells);
  }
  if (cols == 0 || rows == 0) return std::nullopt;
  if (static_cast<int64_t>(cols) * rows > kMaxGridCells) {
    throw TableError("the table is too large to draw (" + std::to_string(cols) + " columns, " +
                     std::to_string(rows) + " rows)");
  }
  table.Grid = TableGrid(cols, rows);
  TableGrid& grid = table.Grid;

  // Placement pass. Columns beyond the grid all stand for "outside", so the column counter
  // stops at cols + 1.
  std::vector<std::string> collected(static_cast<size_t>(cols) * rows);
  const auto textOf = [&](int col, int row) -> std::string* {
    if (!grid.Contains(col, row)) return nullptr;
    return &collected[static_cast<size_t>(row - 1) * cols + (col - 1)];
  };
  const auto markBelow = [&](int col, int row, int rowspan, bool alsoLeft) {
    if (col < 1 || col > cols) return;
    const int last = static_cast<int>(std::min<int64_t>(rows, int64_t{row} + rowspan - 1));
    for (int r = row + 1; r <= last; ++r) {
      THTMLCells& cell = grid.At(col, r);
      cell.DrawTop = false;
      if (alsoLeft) cell.DrawLeft = false;
    }
  };
  {
    bool inTable = false;
    bool inRow = false;
    bool inCell = false;
    int col = 0;
    int row = 0;
    int cellCol = 0;  // where the open cell starts: its text belongs there, not at its span's end
    for (engine::ItemRef item : parser) {
      if (item.IsText()) {
        if (!inCell) continue;
        if (std::string* text = textOf(cellCol, row)) {
          text->push_back(' ');
          text->append(engine::Trim(item.View().View()));
        }
        continue;
      }
      if (!item.IsTag()) continue;
      const engine::THTMLTag tag = item.AsTag();
      const std::string n = tag.LowerName();
      if (n == "table") inTable = true;
      if (n == "/table") inTable = false;
      if (inTable && n == "tr") {
        inRow = true;
        col = cellCol = 0;
        if (row <= rows) ++row;
      } else if (inTable && n == "/tr") {
        inRow = false;
        col = cellCol = 0;
      }
      if (!inRow) continue;
      if (n == "/td") inCell = false;
      if (n != "td") continue;
      inCell = true;
      col = std::min(col + 1, cols + 1);
      // Skip the columns taken by cells spanning down from above.
      while (col <= cols && row >= 1 && row <= rows && !grid.At(col, row).DrawTop) ++col;
      cellCol = col;
      const Spans spans = SpansOf(tag);
      if (spans.Col <= 1) {
        if (spans.Row >= 2) markBelow(col, row, spans.Row, false);
        continue;
      }
      for (int i = 1; i < spans.Col && col <= cols; ++i) {
        if (spans.Row >= 2) markBelow(col, row, spans.Row, false);
        ++col;
        if (THTMLCells* cell = grid.Find(col, row)) cell->DrawLeft = false;
        if (spans.Row >= 2) markBelow(col, row, spans.Row, true);
      }
    }
  }

  for (int row = 1; row <= rows; ++row) {
    for (int col = 1; col <= cols; ++col) {
      grid.At(col, row).CellText = DecodeCellText(*textOf(col, row), codePage);
    }
  }
  return table;
}

}  // namespace tables
