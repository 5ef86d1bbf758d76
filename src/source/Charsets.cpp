#include "source/Charsets.h"

#include <algorithm>

#include "engine/TextUtil.h"

namespace source {
namespace {

struct CharsetRow {
  std::string_view Name;
  int Number;
  std::string_view Encoding;  // empty: the system code page's name
};

constexpr CharsetRow kCharsets[] = {
    {"ANSI_CHARSET", 0, ""},
    {"DEFAULT_CHARSET", 1, ""},
    {"SYMBOL_CHARSET", 2, ""},
    {"MAC_CHARSET", 77, "mac-cyrillic-2000"},
    {"SHIFTJIS_CHARSET", 128, "windows-932"},
    {"HANGEUL_CHARSET", 129, "windows-949"},
    {"JOHAB_CHARSET", 130, "windows-949"},
    {"GB2312_CHARSET", 134, "gb2312"},
    {"CHINESEBIG5_CHARSET", 136, "windows-950"},
    {"GREEK_CHARSET", 161, "windows-1253"},
    {"TURKISH_CHARSET", 162, "windows-1254"},
    {"VIETNAMESE_CHARSET", 163, "windows-1258"},
    {"HEBREW_CHARSET", 177, "windows-1255"},
    {"ARABIC_CHARSET", 178, "windows-1256"},
    {"BALTIC_CHARSET", 186, "windows-1257"},
    {"RUSSIAN_CHARSET", 204, "windows-1251"},
    {"THAI_CHARSET", 222, "windows-874"},
    // There is no windows-1250 row: East European text is declared as windows-1252.
    {"EASTEUROPE_CHARSET", 238, "windows-1252"},
    {"OEM_CHARSET", 255, ""},
};

// The reverse map, in the order it is searched; JOHAB (130) shares windows-949 with HANGEUL and is
// never found from a name.
struct EncodingRow {
  std::string_view Encoding;
  int Number;
};

constexpr EncodingRow kEncodings[] = {
    {"mac-cyrillic-2000", 77}, {"windows-932", 128},  {"windows-949", 129},  {"gb2312", 134},
    {"windows-950", 136},      {"windows-1253", 161}, {"windows-1254", 162}, {"windows-1258", 163},
    {"windows-1255", 177},     {"windows-1256", 178}, {"windows-1257", 186}, {"windows-1251", 204},
    {"windows-874", 222},      {"windows-1252", 238},
};

constexpr int kDefaultCharset = 1;
constexpr size_t kMaxSystemNameLength = 20;
constexpr size_t kDeclarationScanLimit = 201;  // characters of a line that are looked at
constexpr std::string_view kMarker = "encoding=\"";

}  // namespace

int CharsetNumber(std::string_view name) {
  for (const CharsetRow& row : kCharsets) {
    if (row.Name == name) return row.Number;
  }
  return kDefaultCharset;
}

std::string EncodingName(int charset, std::string_view systemCodePageName) {
  for (const CharsetRow& row : kCharsets) {
    if (row.Number == charset && !row.Encoding.empty()) return std::string(row.Encoding);
  }
  return std::string(systemCodePageName);
}

int CharsetFromEncoding(std::string_view name, std::string_view systemCodePageName) {
  if (name == systemCodePageName) return kDefaultCharset;
  for (const EncodingRow& row : kEncodings) {
    if (row.Encoding == name) return row.Number;
  }
  return kDefaultCharset;
}

std::string CodePageName(int codePage) {
  switch (codePage) {
    case 874:
    case 932:
    case 949:
    case 950:
      return "windows-" + std::to_string(codePage);
    case 936:
      return "gb2312";
    case 77:
      return "mac-cyrillic-2000";
    default:
      if (codePage >= 1250 && codePage <= 1258) return "windows-" + std::to_string(codePage);
      return {};
  }
}

std::string SystemCodePageNameFor(int codePage) {
  std::string name = CodePageName(codePage);
  if (name.empty()) name = CodePageName(1252);
  if (name.size() > kMaxSystemNameLength) name.resize(kMaxSystemNameLength);
  return name;
}

std::string EncodingAttribute(int charset, bool utf, std::string_view systemCodePageName) {
  if (utf) return "encoding=\"utf-8\"";
  return "encoding=\"" + EncodingName(charset, systemCodePageName) + "\"";
}

std::string XmlDeclaration(int charset, bool utf, std::string_view systemCodePageName) {
  return "<?xml version=\"1.0\" " + EncodingAttribute(charset, utf, systemCodePageName) + "?>\r\n";
}

std::string DeclaredEncodingName(std::string_view text) {
  if (const size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::string name;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);

    const std::string lower = engine::ToLowerAscii(line);
    if (const size_t at = lower.find(kMarker); at != std::string::npos) {
      const size_t from = at + kMarker.size();
      const size_t limit = std::min(lower.size(), kDeclarationScanLimit);
      if (from < limit) {
        const size_t quote = lower.find('"', from);
        const size_t to = std::min(quote == std::string::npos ? lower.size() : quote, limit);
        name.append(lower, from, to - from);
      }
    }

    if (end == text.size()) break;
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    // A text that ends with a line break has no further line after it.
    if (start == text.size()) break;
  }
  return name;
}

}  // namespace source
