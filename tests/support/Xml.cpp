#include "support/Xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

namespace {

struct DocCloser {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

const char* EncodingFor(std::string_view document) {
  return document.substr(0, 100).find("encoding=") == std::string_view::npos ? "windows-1251"
                                                                               : nullptr;
}

}  // namespace

::testing::AssertionResult IsWellFormedXml(std::string_view document) {
  xmlResetLastError();
  std::unique_ptr<xmlDoc, DocCloser> doc(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), "test.xml",
                    EncodingFor(document), XML_PARSE_NONET | XML_PARSE_NOERROR |
                                               XML_PARSE_NOWARNING | XML_PARSE_HUGE));
  if (doc) return ::testing::AssertionSuccess();
  const xmlError* error = xmlGetLastError();
  std::string where = error ? ("line " + std::to_string(error->line) + ": " +
                               (error->message ? error->message : ""))
                            : "unknown error";
  return ::testing::AssertionFailure() << "not well-formed XML (" << where << ") in:\n"
                                       << document.substr(0, 4000);
}

::testing::AssertionResult IsWellFormedFragment(std::string_view fragment) {
  std::string doc =
      "<root xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
      "xmlns:xlink=\"http://www.w3.org/1999/xlink\">";
  doc.append(fragment);
  doc.append("</root>");
  return IsWellFormedXml(doc);
}

std::string XmlTextContent(std::string_view document) {
  std::unique_ptr<xmlDoc, DocCloser> doc(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), "test.xml",
                    EncodingFor(document), XML_PARSE_NONET | XML_PARSE_NOERROR |
                                               XML_PARSE_NOWARNING | XML_PARSE_HUGE));
  if (!doc) return {};
  xmlChar* text = xmlNodeGetContent(xmlDocGetRootElement(doc.get()));
  std::string out = text ? reinterpret_cast<const char*>(text) : "";
  xmlFree(text);
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace testsupport
