#pragma once
// The body of the structure-repair fuzz target, shared by the libFuzzer binary and the unit
// test that replays fuzz/regressions/fuzz_repair/. Also the character-data reader both use to
// check that repair loses no text.

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "engine/HTMLPars.h"
#include "engine/Pipeline.h"
#include "platform/CodePage.h"
#include "source/HtmlCleanup.h"

namespace fuzztargets {

inline void RequireRepair(bool condition) {
  if (!condition) std::abort();
}

// Where the tag whose name starts at `from` ends: the first ">" outside a quoted value, a quote
// opening a value only after "=" (blanks between allowed), as XML reads it. When a quote never
// closes, the first ">" ends the tag. npos when no ">" follows. Written apart from the repair's
// own tag reader, so that the check does not share its faults.
inline size_t SoupTagEnd(std::string_view s, size_t from) {
  char quote = 0;
  bool afterEquals = false;
  for (size_t i = from; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if ((c == '"' || c == '\'') && afterEquals) {
      quote = c;
      afterEquals = false;
    } else if (c == '>') {
      return i;
    } else if (c == '=') {
      afterEquals = true;
    } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      afterEquals = false;
    }
  }
  return s.find('>', from);
}

// The character data of FB2 text that need not be well-formed, read as ISO-8859-1, in UTF-8,
// without whitespace: a "<" followed by a name (or "/" and a name) opens a tag (see SoupTagEnd);
// the five XML entities and character references are resolved; anything else is text as it
// stands. Bytes XML does not allow are left out.
inline std::string SoupText(std::string_view s) {
  auto nameStart = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
  };
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '<') {
      const size_t n = i + 1 < s.size() && s[i + 1] == '/' ? i + 2 : i + 1;
      if (n < s.size() && nameStart(s[n])) {
        const size_t close = SoupTagEnd(s, n);
        if (close != std::string_view::npos) {
          i = close;
          continue;
        }
      }
    }
    if (c == '&') {
      const size_t semi = s.find(';', i);
      if (semi != std::string_view::npos && semi - i <= 10) {
        const std::string_view ref = s.substr(i + 1, semi - i - 1);
        uint32_t value = 0;
        bool ok = true;
        if (ref == "amp")
          value = '&';
        else if (ref == "lt")
          value = '<';
        else if (ref == "gt")
          value = '>';
        else if (ref == "quot")
          value = '"';
        else if (ref == "apos")
          value = '\'';
        else if (ref.size() >= 2 && ref[0] == '#') {
          const bool hex = ref[1] == 'x';
          const std::string_view digits = ref.substr(hex ? 2 : 1);
          ok = !digits.empty();
          for (char d : digits) {
            uint32_t v;
            if (d >= '0' && d <= '9')
              v = static_cast<uint32_t>(d - '0');
            else if (hex && d >= 'a' && d <= 'f')
              v = static_cast<uint32_t>(d - 'a' + 10);
            else if (hex && d >= 'A' && d <= 'F')
              v = static_cast<uint32_t>(d - 'A' + 10);
            else {
              ok = false;
              break;
            }
            value = value * (hex ? 16u : 10u) + v;
          }
          ok = ok && (value == 0x9 || value == 0xA || value == 0xD ||
                      (value >= 0x20 && value <= 0xD7FF) || (value >= 0xE000 && value <= 0xFFFD) ||
                      (value >= 0x10000 && value <= 0x10FFFF));
        } else {
          ok = false;
        }
        if (ok) {
          if (value != ' ' && value != '\t' && value != '\r' && value != '\n') {
            platform::AppendUtf8(out, static_cast<char32_t>(value));
          }
          i = semi;
          continue;
        }
      }
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c < 32) continue;
    platform::AppendUtf8(out, static_cast<char32_t>(c));
  }
  return out;
}

// The character data of every `body` element of a parsed document, without whitespace.
inline std::string BodiesText(xmlDoc* doc, int& bodies) {
  std::string out;
  bodies = 0;
  const xmlNode* root = xmlDocGetRootElement(doc);
  for (const xmlNode* n = root ? root->children : nullptr; n; n = n->next) {
    if (n->type != XML_ELEMENT_NODE ||
        std::string_view(reinterpret_cast<const char*>(n->name)) != "body") {
      continue;
    }
    ++bodies;
    xmlChar* text = xmlNodeGetContent(n);
    for (const xmlChar* p = text; p && *p; ++p) {
      if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') out.push_back(static_cast<char>(*p));
    }
    xmlFree(text);
  }
  return out;
}

inline constexpr char kRepairHead[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
    "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
    "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\r\n<description>\r\n<title-info>"
    "<coverpage><image xlink:href=\"#1 cover.jpg\"/></coverpage></title-info>\r\n"
    "</description>\r\n";
inline constexpr char kRepairCover[] =
    "<binary content-type=\"image/jpeg\" id=\"1 cover.jpg\">AAAA\r\n</binary>\r\n";
inline constexpr char kRepairTail[] = "\r\n</FictionBook>";

// A fixed head with a cover whose id is no XML name; every picture gets a binary whose id
// repeats or is no name either.
class RepairServices : public engine::ConversionServices {
 public:
  void BeginConversion() override { count_ = 0; }
  engine::DocumentHead WriteDescription() override { return {kRepairHead, kRepairCover}; }
  std::string EmbedImage(const engine::THTMLTag&, std::string& binaries) override {
    const std::string id = (count_++ % 2) ? "pic~temp.jpg" : "2.png";
    binaries += "<binary content-type=\"image/jpeg\" id=\"" + id + "\">AAAA\r\n</binary>\r\n";
    return "<image xlink:href=\"#" + id + "\"/>";
  }
  std::string RenderTablePicture(std::string_view, std::string_view) override { return "AAAA"; }

 private:
  int count_ = 0;
};

struct DocFreeRepair {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// Arbitrary bytes as HTML: cleaned, converted without and with repair (the options chosen by
// the first byte). With repair the whole document must be well-formed XML with one body, whose
// text is that of the unrepaired body.
inline int FuzzRepair(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  engine::ConversionOptions options;
  options.Variant =
      (data[0] & 1) ? engine::ConversionVariant::Picture : engine::ConversionVariant::Text;
  options.TableMode =
      (data[0] & 2) ? engine::TextTableMode::ContentOnly : engine::TextTableMode::AsIs;
  options.ShowHyperlinks = (data[0] & 4) != 0;
  options.TitleHeadingLevel = (data[0] >> 3) % 6;
  const std::string_view html(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string cleaned = source::CleanHtml(html);

  static const platform::CodePage codePage(1252);
  engine::THTMLParser parser;
  RepairServices services;
  const engine::ConversionResult plain =
      engine::ConvertDocument(parser, cleaned, options, services, codePage);
  if (!plain.Ok) return 0;
  // The cover binary follows the body directly.
  const size_t head = std::string_view(kRepairHead).size();
  const size_t cover = plain.Document.find(kRepairCover, head);
  RequireRepair(cover != std::string::npos);
  const std::string_view rawBody = std::string_view(plain.Document).substr(head, cover - head);

  options.RepairStructure = true;
  const engine::ConversionResult repaired =
      engine::ConvertDocument(parser, cleaned, options, services, codePage);
  RequireRepair(repaired.Ok);
  std::unique_ptr<xmlDoc, DocFreeRepair> doc(xmlReadMemory(
      repaired.Document.data(), static_cast<int>(repaired.Document.size()), "repaired.fb2", nullptr,
      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE));
  RequireRepair(doc != nullptr);
  int bodies = 0;
  const std::string text = BodiesText(doc.get(), bodies);
  RequireRepair(bodies == 1);
  RequireRepair(text == SoupText(rawBody));
  return 0;
}

}  // namespace fuzztargets
