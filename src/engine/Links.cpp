#include "engine/Links.h"

#include "engine/Escaping.h"
#include "engine/TextUtil.h"

namespace engine {

std::string BuildLinkTag(const THTMLTag& tag, const FromOutputEncodingFn& fromOutputEncoding) {
  const std::string_view name = tag.Name().View();
  if (EqualsNoCase(name, "/a")) return "</a>";
  if (!EqualsNoCase(name, "a")) return {};
  std::string out = "<a";
  for (size_t i = 0; i < tag.ParamCount(); ++i) {
    const THTMLParam param = tag.Param(i);
    if (!EqualsNoCase(param.Name.View(), "href")) continue;
    // The value is HTML ("&amp;" for "&"); it is written as XML, escaped once.
    const std::string target = fromOutputEncoding(param.Value.View());
    out.append(" xlink:href=\"");
    AppendXmlAttribute(out, UnescapeAmp(target));
    out.push_back('"');
  }
  out.push_back('>');
  return out;
}

std::string FinishLink(std::string_view link, bool showHyperlinks) {
  if (link.empty()) return {};
  constexpr std::string_view kHref = "href=\"";
  const size_t href = link.find(kHref);
  if (href == std::string_view::npos) return LinkInnerText(link);
  std::string_view target = link.substr(href + kHref.size());
  target = target.substr(0, target.find('"'));
  const bool local = !target.empty() && target[0] == '#';
  const bool mail = target.find("mailto:") != std::string_view::npos;
  // The collected text is already XML: nothing is unescaped here.
  if (showHyperlinks && !local && !mail) return std::string(link);
  return LinkInnerText(link);
}

std::string LinkInnerText(std::string_view link) {
  const size_t open = link.find('>');
  if (open == std::string_view::npos) return {};
  const std::string_view rest = link.substr(open + 1);
  const size_t close = rest.find("</a>");
  if (close == std::string_view::npos) return {};
  return std::string(rest.substr(0, close));
}

}  // namespace engine
