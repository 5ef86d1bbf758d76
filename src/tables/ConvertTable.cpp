#include "tables/ConvertTable.h"

#include "engine/Pipeline.h"
#include "images/Base64.h"
#include "images/BinaryElements.h"
#include "source/HtmlCleanup.h"
#include "tables/RenderTable.h"

namespace tables {

ConvertTableResult ConvertSelectedTable(std::string_view selection, int& tablePictureCount,
                                        const TableSettings& settings, FontCache& fonts,
                                        const platform::CodePage& codePage,
                                        const engine::OnErrorFn& onError) {
  ConvertTableResult result;
  if (selection.empty()) return result;
  std::string html = "<html>\r\n";
  html.append(selection).append("\r\n</html>");
  const std::string cleaned = source::CleanHtml(html, onError);

  ++tablePictureCount;
  result.Counted = true;
  result.PictureName = engine::TablePictureName(tablePictureCount);
  result.Png = RenderTable(cleaned, settings, fonts, codePage, onError);
  if (result.Png.empty()) return result;
  result.ImagesTabRefs = "\r\n" + images::ImageReference(result.PictureName) + "\r\n";
  std::string base64;
  images::AppendBase64(result.Png, base64);
  images::AppendBinaryElement(result.ImagesTabBinaries, "png", result.PictureName, base64);
  return result;
}

}  // namespace tables
