#include "source/OpenTags.h"

#include "engine/TextUtil.h"

namespace source {

void AppendOpenMarkers(std::string& out, uint8_t markers) {
  if (markers & kBold) out.append("<b>");
  if (markers & kItalic) out.append("<i>");
}

void AppendCloseMarkers(std::string& out, uint8_t markers) {
  if (markers & kItalic) out.append("</i>");
  if (markers & kBold) out.append("</b>");
}

bool OpenTag::ClosedBy(std::string_view lowerEndName) const {
  return HasEndTag && lowerEndName.size() == Name.size() + 1 && lowerEndName[0] == '/' &&
         engine::EqualsNoCase(lowerEndName.substr(1), Name);
}

void OpenTag::AppendCloseText(std::string& out) const {
  AppendCloseMarkers(out, Markers);
  if (Wrapper || !HasEndTag) return;
  out.append("</");
  for (char c : Name) out.push_back(engine::ToLowerAscii(c));
  out.push_back('>');
}

}  // namespace source
