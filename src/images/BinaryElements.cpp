#include "images/BinaryElements.h"

#include "engine/Escaping.h"

namespace images {

std::string ImageReference(std::string_view id) {
  std::string out = "<image xlink:href=\"#";
  engine::AppendXmlAttribute(out, id);
  out += "\"/>";
  return out;
}

void AppendBinaryElement(std::string& out, std::string_view type, std::string_view id,
                         std::string_view base64) {
  out.reserve(out.size() + base64.size() + type.size() + id.size() + 60);
  out += "<binary content-type=\"image/";
  engine::AppendXmlAttribute(out, type);
  out += "\" id=\"";
  engine::AppendXmlAttribute(out, id);
  out += "\">";
  out += base64;
  out += "\r\n</binary>\r\n";
}

}  // namespace images
