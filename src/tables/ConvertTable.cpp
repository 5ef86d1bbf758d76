#include "tables/ConvertTable.h"

#include "engine/Escaping.h"
#include "engine/Pipeline.h"
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
  result.ImagesTabRefs = "\r\n<image xlink:href=\"#";
  engine::AppendXmlAttribute(result.ImagesTabRefs, result.PictureName);
  result.ImagesTabRefs.append("\"/>\r\n");
  return result;
}

std::string TableBinaryElement(std::string_view pictureName, std::string_view base64) {
  if (base64.empty()) return {};
  std::string out = "<binary content-type=\"image/png\" id=\"";
  engine::AppendXmlAttribute(out, pictureName);
  out.append("\">").append(base64).append("\r\n</binary>\r\n");
  return out;
}

}  // namespace tables
