#include "tables/RenderTable.h"

#include <algorithm>

#include "engine/TextUtil.h"
#include "images/AreaScaler.h"
#include "images/Base64.h"
#include "images/FitWithin.h"
#include "images/PngCodec.h"
#include "platform/CodePage.h"
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

  // Limits of 0 or less leave the picture as drawn.
  images::PictureSize fitted{static_cast<int>(width), static_cast<int>(height)};
  if (settings.MaxImageWidth > 0 && settings.MaxImageHeight > 0) {
    fitted = images::FitWithin(fitted.Width, fitted.Height, settings.MaxImageWidth,
                               settings.MaxImageHeight);
  }
  if (fitted.Width == width && fitted.Height == height) {
    images::Raster picture(fitted.Width, fitted.Height);
    Canvas canvas(picture, 0);
    painter.Paint(canvas);
    return picture;
  }
  // Shrinking: the picture is drawn band by band straight into the scaler.
  images::AreaScaler scaler(static_cast<int>(width), static_cast<int>(height), fitted.Width,
                            fitted.Height);
  const int64_t bandRows = std::clamp<int64_t>(kBandPixels / width, 1, height);
  images::Raster band(static_cast<int>(width), static_cast<int>(bandRows));
  for (int64_t top = 0; top < height; top += bandRows) {
    std::fill(band.Rgb.begin(), band.Rgb.end(), uint8_t{255});
    Canvas canvas(band, top);
    painter.Paint(canvas);
    const int rows = static_cast<int>(std::min(bandRows, height - top));
    for (int y = 0; y < rows; ++y) scaler.PushRow(band.Pixel(0, y));
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

std::string RenderTableBase64(std::string_view html, const TableSettings& settings,
                              FontCache& fonts, const platform::CodePage& codePage,
                              const engine::OnErrorFn& onError) {
  const std::string png = RenderTable(html, settings, fonts, codePage, onError);
  std::string base64;
  images::AppendBase64(png, base64);
  return base64;
}

}  // namespace tables
