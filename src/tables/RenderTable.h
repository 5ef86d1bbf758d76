#pragma once
// The table-to-picture renderer: lays an HTML table out on a grid, sizes columns and rows to
// their text in the table font, wraps texts when the table is wider than the picture may be,
// draws the borders and texts and fits the picture within the picture limits. Inside a cell
// every tag is ignored; the cell's texts are joined with blanks.

#include <optional>
#include <string>
#include <string_view>

#include "engine/HTMLPars.h"
#include "images/Raster.h"
#include "tables/TableFont.h"
#include "tables/TableSettings.h"

namespace platform {
class CodePage;
}

namespace tables {

// Pictures with more pixels than this (before fitting) are refused.
inline constexpr int64_t kMaxDrawnPixels = 100'000'000;

// The table's picture at its final size, or nothing when no row holds a td cell. `html` is a
// small HTML document holding the table, in the code page. Tokenizer complaints go to
// `onError`. Throws TableError for a table too large to draw or when no font can be loaded.
std::optional<images::Raster> RenderTablePicture(std::string_view html,
                                                 const TableSettings& settings, FontCache& fonts,
                                                 const platform::CodePage& codePage,
                                                 const engine::OnErrorFn& onError = {});

// The same picture as PNG file bytes; empty when there is no picture.
std::string RenderTable(std::string_view html, const TableSettings& settings, FontCache& fonts,
                        const platform::CodePage& codePage, const engine::OnErrorFn& onError = {});

// The PNG's Base64 text, one line, as the picture table mode embeds it; empty without picture.
std::string RenderTableBase64(std::string_view html, const TableSettings& settings,
                              FontCache& fonts, const platform::CodePage& codePage,
                              const engine::OnErrorFn& onError = {});

}  // namespace tables
