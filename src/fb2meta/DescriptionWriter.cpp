#include "fb2meta/DescriptionWriter.h"

#include <charconv>
#include <cmath>

#include "engine/Escaping.h"
#include "engine/TextUtil.h"
#include "fb2meta/Dates.h"

namespace fb2meta {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// indent + "<tag>" + escaped value + "</tag>" + CR LF
void AppendElement(std::string& out, std::string_view indent, std::string_view tag,
                   std::string_view value) {
  out.append(indent);
  out.push_back('<');
  out.append(tag);
  out.push_back('>');
  engine::AppendXmlText(out, value);
  out.append("</");
  out.append(tag);
  out.push_back('>');
  out.append(kCrLf);
}

void AppendNames(std::string& out, std::string_view first, std::string_view middle,
                 std::string_view last) {
  AppendElement(out, "     ", "first-name", first);
  if (!middle.empty()) AppendElement(out, "     ", "middle-name", middle);
  AppendElement(out, "     ", "last-name", last);
}

void AppendBookAuthor(std::string& out, const PersonName& author) {
  out.append("   <author>\r\n");
  AppendNames(out, author.FirstName, author.MiddleName, author.LastName);
  out.append("   </author>\r\n");
}

void AppendDocumentAuthor(std::string& out, const DocumentAuthorInfo& a) {
  out.append("   <author>\r\n");
  if (!a.FirstName.empty() || !a.LastName.empty()) {
    AppendNames(out, a.FirstName, a.MiddleName, a.LastName);
    if (!a.NickName.empty()) AppendElement(out, "     ", "nickname", a.NickName);
  } else if (!a.NickName.empty()) {
    AppendElement(out, "     ", "nickname", a.NickName);
  } else {
    out.append("     <first-name></first-name>\r\n     <last-name></last-name>\r\n");
  }
  for (std::string_view page : SplitList(a.HomePages))
    AppendElement(out, "     ", "home-page", page);
  for (std::string_view mail : SplitList(a.EMails)) AppendElement(out, "     ", "email", mail);
  out.append("   </author>\r\n");
}

std::string_view LanguageOf(const BookInfo& info, const DescriptionInput& input) {
  if (!engine::Trim(info.Language).empty()) return info.Language;
  std::string_view fallback = engine::Trim(input.DefaultLanguage);
  return fallback.empty() ? std::string_view("ru") : fallback;
}

}  // namespace

std::vector<std::string_view> SplitList(std::string_view text) {
  std::vector<std::string_view> pieces;
  while (true) {
    size_t cut = text.find(';');
    std::string_view piece = engine::Trim(text.substr(0, cut));
    if (!piece.empty()) pieces.push_back(piece);
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
  return pieces;
}

std::string FormatVersion(std::string_view version) {
  std::string text(engine::Trim(version));
  for (char& c : text)
    if (c == ',') c = '.';
  double value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (!text.empty() && *begin == '+') ++begin;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) value = 0;
  value = std::round(value * 100) / 100;
  if (value == 0) value = 0;  // no "-0.0"
  char buffer[400];
  auto [last, ignored] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  (void)ignored;
  std::string formatted(buffer, last);
  if (formatted.back() == '0') formatted.pop_back();
  return formatted;
}

std::string WriteDescriptionText(const BookInfo& info, const DescriptionInput& input) {
  std::string out;
  out.reserve(2048);
  if (input.UtfOutput) {
    out.append("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n");
  } else {
    out.append("<?xml version=\"1.0\" encoding=\"");
    out.append(input.EncodingName);
    out.append("\"?>\r\n");
  }
  out.append("<FictionBook xmlns:xlink=\"");
  out.append(kXLinkNamespace);
  out.append("\" xmlns=\"");
  out.append(kFictionBookNamespace);
  out.append("\">\r\n<description>\r\n");

  out.append(" <title-info>\r\n");
  for (std::string_view genre : SplitList(info.Genres)) AppendElement(out, "   ", "genre", genre);
  AppendBookAuthor(out, info.Authors[0]);
  for (size_t i = 1; i < info.Authors.size(); ++i)
    if (!info.Authors[i].LastName.empty()) AppendBookAuthor(out, info.Authors[i]);
  AppendElement(out, "   ", "book-title", info.BookTitle);
  if (!input.CoverImageRef.empty()) {
    // The cover reference is an element made by the picture code, written as it is.
    out.append("   <coverpage>");
    out.append(input.CoverImageRef);
    out.append("</coverpage>\r\n");
  }
  AppendElement(out, "   ", "lang", LanguageOf(info, input));
  out.append(" </title-info>\r\n");

  out.append(" <document-info>\r\n");
  AppendDocumentAuthor(out, info.DocumentAuthor);
  out.append("   <program-used>Vellumor</program-used>\r\n");
  out.append("   <date value=\"");
  engine::AppendXmlAttribute(out, IsoDateValue(info.DocumentDate, info.DocumentDateText));
  out.append("\">");
  engine::AppendXmlText(out, info.DocumentDateText);
  out.append("</date>\r\n");
  for (std::string_view url : SplitList(info.SourceUrls)) AppendElement(out, "   ", "src-url", url);
  AppendElement(out, "   ", "id", info.DocumentId);
  AppendElement(out, "   ", "version", FormatVersion(info.DocumentVersion));
  out.append(" </document-info>\r\n");
  out.append("</description>\r\n");
  return out;
}

}  // namespace fb2meta
