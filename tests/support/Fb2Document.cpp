#include "support/Fb2Document.h"

namespace testsupport {

std::string MakeFb2(std::string_view body, std::string_view binaries, std::string_view encoding) {
  std::string doc = "<?xml version=\"1.0\" encoding=\"";
  doc.append(encoding);
  doc.append(
      "\"?>\r\n"
      "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
      "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\r\n"
      "<description>\r\n"
      "<title-info><genre>prose_classic</genre><author><nickname>A</nickname></author>"
      "<book-title>T</book-title><lang>ru</lang></title-info>\r\n"
      "<document-info><author><nickname>A</nickname></author><date>2024</date><id>1</id>"
      "<version>1.0</version></document-info>\r\n"
      "</description>\r\n");
  doc.append(body);
  doc.append(binaries);
  doc.append("\r\n</FictionBook>");
  return doc;
}

std::string SimpleBody(std::string_view text) {
  std::string body = "<body>\r\n<section>\r\n<p>";
  body.append(text);
  body.append("</p>\r\n</section>\r\n</body>\r\n");
  return body;
}

}  // namespace testsupport
