#include "source/TagGroups.h"

#include "engine/TextUtil.h"

namespace source {

namespace {

constexpr uint8_t kW = kWrapperTag, kA = kAttributeFreeTag, kV = kVoidTag, kB = kBreakBefore;

constexpr uint64_t K(std::string_view name) {
  return NameKey(name);
}

}  // namespace

uint8_t TagGroups(uint64_t key) {
  switch (key) {
    case K("font"):
    case K("/font"):
    case K("span"):
    case K("/span"):
    case K("/div"):
    case K("o:p"):
    case K("/o:p"):
      return kW;
    case K("div"):
      return kW | kB;
    case K("p"):
    case K("table"):
    case K("tbody"):
    case K("tr"):
    case K("td"):
    case K("h1"):
    case K("h2"):
    case K("h3"):
    case K("h4"):
    case K("h5"):
    case K("h6"):
    case K("body"):
    case K("ul"):
    case K("ol"):
    case K("li"):
      return kA | kB;
    case K("b"):
    case K("i"):
    case K("u"):
      return kA;
    case K("br"):
      return kA | kV | kB;
    case K("img"):
    case K("hr"):
      return kV;
    case K("meta"):
      return kV | kB;
    case K("/html"):
    case K("/body"):
    case K("/tbody"):
    case K("/table"):
    case K("title"):
    case K("head"):
    case K("/head"):
    case K("/tr"):
    case K("style"):
    case K("/style"):
    case K("pre"):
    case K("/pre"):
      return kB;
    default:
      return 0;
  }
}

bool KeepsTableAttribute(uint64_t tagKey, std::string_view attributeName) {
  using engine::EqualsNoCase;
  if (tagKey == K("table")) return EqualsNoCase(attributeName, "border");
  const bool align = EqualsNoCase(attributeName, "align") || EqualsNoCase(attributeName, "valign");
  if (tagKey == K("tr")) return align;
  if (tagKey == K("td")) {
    return align || EqualsNoCase(attributeName, "rowspan") ||
           EqualsNoCase(attributeName, "colspan");
  }
  return false;
}

}  // namespace source
