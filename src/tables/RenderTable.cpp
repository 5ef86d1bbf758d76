#include "tables/RenderTable.h"

#include <algorithm>

#include "engine/TextUtil.h"
#include "images/PngCodec.h"
#include "platform/CodePage.h"
#include "tables/BoxScaler.h"
#include "tables/DrawTable.h"
#include "tables/TableError.h"
#include "tables/TableLayout.h"
#include "tables/TableScan.h"

namespace tables {

namespace {

constexpr int kPngCompression = 8;
// Pixels drawn per band while a picture is shrunk on the way.
constexpr int64_t kBandPixels = 1 << 22;

}  // namespace

std::optional<images::Raster> RenderTablePicture(std::string_view html,
                                                 const TableSettings& settings, FontCache& fonts,
                                                 const platform::CodePage& codePage,
                                                 const engine::OnErrorFn& onError) {
  engine::THTMLParser parser;
  parser.OnError = onError;
  parser.Source() = engine::NormalizeLineBreaks(html);
  parser.Parse();

  std::optional<ScannedTable> table = ScanTable(parser, settings.VisibleBorder, codePage);
  if (!table) return std::nullopt;

  const TableFont& font = fonts.Get(codePage.ToUtf8(settings.FontName), settings.FontSize);
  const TextSize size = LayoutTable(table->Grid, settings.MaxImageWidth, font);
  TablePainter painter(table->Grid, size, table->Border, font);
  const int64_t width = painter.PictureWidth();
  const int64_t height = painter.PictureHeight();
  if (width > kMaxDrawnPixels / height) {
    throw TableError("the table is too large to draw (" + std::to_string(width) + " by " +
                     std::to_string(height) + " pixels)");
  }

  const PictureSize fitted =
      FitWithin(width, height, settings.MaxImageWidth, settings.MaxImageHeight);
  if (fitted == PictureSize{width, height}) {
    images::Raster picture(static_cast<int>(width), static_cast<int>(height));
    Canvas canvas(picture, 0);
    painter.Paint(canvas);
    return picture;
  }
  BoxScaler scaler(width, height, static_cast<int>(fitted.Width), static_cast<int>(fitted.Height));
  const int64_t bandRows = std::clamp<int64_t>(kBandPixels / width, 1, height);
  images::Raster band(static_cast<int>(width), static_cast<int>(bandRows));
  for (int64_t top = 0; top < height; top += bandRows) {
    if (height - top < bandRows)
      band = images::Raster(static_cast<int>(width), static_cast<int>(height - top));
    std::fill(band.Rgb.begin(), band.Rgb.end(), uint8_t{255});
    Canvas canvas(band, top);
    painter.Paint(canvas);
    scaler.AddRows(band, top);
  }
  return scaler.Finish();
}

std::string RenderTable(std::string_view html, const TableSettings& settings, FontCache& fonts,
                        const platform::CodePage& codePage, const engine::OnErrorFn& onError) {
  const std::optional<images::Raster> picture =
      RenderTablePicture(html, settings, fonts, codePage, onError);
  if (!picture) return {};
  return images::EncodePng(*picture, kPngCompression);
}

}  // namespace tables
