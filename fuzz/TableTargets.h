#pragma once
// The body of the table renderer's fuzz target, shared by the libFuzzer binary and by the unit
// test that replays the inputs kept in fuzz/regressions/fuzz_rendertable/.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/CodePage.h"
#include "tables/RenderTable.h"
#include "tables/TableError.h"

namespace fuzztargets {

// Inputs above this size only repeat what smaller ones can show, more slowly.
inline constexpr size_t kMaxTableInput = 16 * 1024;

// The first four bytes choose the settings (picture limits, border, font size); the rest goes to
// the renderer wrapped in an html element, as the conversion and the command hand tables over.
// A picture must respect the limits; refusals are TableError only.
inline int FuzzRenderTable(const uint8_t* data, size_t size) {
  if (size < 4 || size > kMaxTableInput) return 0;
  static const platform::CodePage codePage(1251);
  static tables::FontCache fonts;
  tables::TableSettings settings;
  settings.MaxImageWidth = (data[0] % 8 == 0) ? 0 : 20 + data[0] * 3;
  settings.MaxImageHeight = (data[1] % 8 == 0) ? -1 : 10 + data[1] * 4;
  settings.VisibleBorder = (data[2] & 1) != 0;
  settings.FontSize = 1 + data[3] % 24;
  std::string html = "<html>\r\n";
  html.append(reinterpret_cast<const char*>(data) + 4, size - 4).append("\r\n</html>");
  try {
    const auto picture = tables::RenderTablePicture(html, settings, fonts, codePage);
    if (!picture) return 0;
    const auto& p = *picture;
    if (p.Width < 1 || p.Height < 1) std::abort();
    if (p.Rgb.size() != static_cast<size_t>(p.Width) * p.Height * 3) std::abort();
    if (settings.MaxImageWidth > 0 && settings.MaxImageHeight > 0 &&
        (p.Width > settings.MaxImageWidth || p.Height > settings.MaxImageHeight)) {
      std::abort();
    }
  } catch (const tables::TableError&) {
  }
  return 0;
}

}  // namespace fuzztargets
