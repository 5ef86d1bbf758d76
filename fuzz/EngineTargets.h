#pragma once
// The bodies of the engine's fuzz targets, shared by the libFuzzer binaries and by the unit test
// that replays the inputs kept in fuzz/regressions/.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/HTMLPars.h"
#include "engine/Pipeline.h"
#include "platform/CodePage.h"
#include "source/HtmlCleanup.h"

namespace fuzztargets {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

// Tokenizes the bytes and checks that every view lies inside the source buffer.
inline int FuzzParse(const uint8_t* data, size_t size) {
  engine::THTMLParser parser;
  size_t reports = 0;
  parser.OnError = [&reports](std::string_view, std::string_view) { ++reports; };
  parser.Source().assign(reinterpret_cast<const char*>(data), size);
  parser.Parse();
  const char* begin = parser.Source().data();
  const char* end = begin + parser.Source().size();
  auto inside = [&](const engine::THTMLItem& item) {
    const std::string_view v = item.View();
    Require(v.empty() || (v.data() >= begin && v.data() + v.size() <= end));
  };
  for (engine::ItemRef item : parser) {
    inside(item.View());
    if (!item.IsTag()) continue;
    const engine::THTMLTag tag = item.AsTag();
    inside(tag.Name());
    for (size_t i = 0; i < tag.ParamCount(); ++i) {
      const engine::THTMLParam p = tag.Param(i);
      inside(p.ParamText);
      inside(p.Name);
      inside(p.Value);
    }
  }
  return 0;
}

class FixedHeadServices : public engine::ConversionServices {
 public:
  engine::DocumentHead WriteDescription() override { return {"<FictionBook>\r\n", {}}; }
  std::string EmbedImage(const engine::THTMLTag&, std::string& binaries) override {
    binaries += "<binary/>";
    return "<image/>";
  }
  std::string RenderTablePicture(std::string_view, std::string_view) override { return "AAAA"; }
};

// Converts the bytes in the variant chosen by the first byte.
inline int FuzzWalk(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  engine::ConversionOptions options;
  options.Variant =
      (data[0] & 1) ? engine::ConversionVariant::Picture : engine::ConversionVariant::Text;
  options.TableMode =
      (data[0] & 2) ? engine::TextTableMode::ContentOnly : engine::TextTableMode::AsIs;
  options.ShowHyperlinks = (data[0] & 4) != 0;
  options.TitleHeadingLevel = (data[0] >> 3) % 7;  // 6 is out of range on purpose
  static const platform::CodePage codePage(1251);
  engine::THTMLParser parser;
  FixedHeadServices services;
  const std::string_view html(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto result = engine::ConvertDocument(parser, html, options, services, codePage);
  Require(!result.Ok || result.Document.size() >= 15);
  return 0;
}

// Cleans the bytes. What comes out is made of whole tags, so tokenizing it again never loses the
// rest of the text to an unbalanced quote when the input itself tokenized without complaint.
inline int FuzzCleanHtml(const uint8_t* data, size_t size) {
  const std::string_view html(reinterpret_cast<const char*>(data), size);
  size_t reports = 0;
  const std::string cleaned =
      source::CleanHtml(html, [&reports](std::string_view, std::string_view) { ++reports; });
  engine::THTMLParser parser;
  bool lostRest = false;
  parser.OnError = [&lostRest](std::string_view message, std::string_view) {
    if (message == "> not found") lostRest = true;
  };
  parser.Source() = cleaned;
  parser.Parse();
  Require(reports != 0 || !lostRest);
  return 0;
}

}  // namespace fuzztargets
