#include "engine/BodyTags.h"

namespace engine {

namespace {

struct TagText {
  std::string_view Name;
  std::string_view Text;
};

// The tags that always become the same text, whatever the state.
constexpr TagText kFixedTags[] = {
    {"p", "<p>"},
    {"/p", "</p>\r\n"},
    {"pre", "<p>"},
    {"/pre", "</p>\r\n"},
    {"b", "<strong>"},
    {"/b", "</strong>"},
    {"strong", "<strong>"},
    {"/strong", "</strong>"},
    {"i", "<emphasis>"},
    {"/i", "</emphasis>"},
    {"body", "<body>\r\n<section>\r\n"},
    {"/body", "</section>\r\n</body>\r\n"},
    {"/table", "</table>\r\n"},
    {"/tr", "</tr>\r\n"},
    {"/td", "</td>"},
    {"/th", "</th>"},
    {"/caption", "</caption>\r\n"},
    {"ul", "<p> </p>\r\n"},
    {"ol", "<p> </p>\r\n"},
    {"/ul", "<p> </p>\r\n"},
    {"/ol", "<p> </p>\r\n"},
};

// A list item opens a paragraph with a bullet (0x95 in the windows code pages) and a space.
constexpr std::string_view kListItem = "<p>\x95 ";
constexpr std::string_view kParagraphBreak = "</p>\r\n<p>";
constexpr std::string_view kEmptyLine = "<p> </p>\r\n";

// The heading number of "h1".."h6" or "/h1".."/h6", else 0.
int HeadingNumber(std::string_view name, bool& closing) {
  closing = !name.empty() && name[0] == '/';
  if (closing) name.remove_prefix(1);
  if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
    return name[1] - '0';
  }
  return 0;
}

}  // namespace

std::string_view MapHeadingTag(std::string_view name, bool inTable, int level) {
  bool closing = false;
  const int k = HeadingNumber(name, closing);
  if (k == 0 || level < 0 || level > 5) return {};
  const int title = level + 1;
  if (k <= title) {
    if (closing) return "</p></title>\r\n";
    return inTable ? "\r\n<title><p>" : "</section>\r\n<section>\r\n<title><p>";
  }
  if (k == title + 1) {
    return closing ? "</strong></subtitle>\r\n" : "\r\n<subtitle><strong>";
  }
  return closing ? "</strong></p>\r\n<p> </p>\r\n" : "\r\n<p> </p>\r\n<p><strong>";
}

std::string_view MapBodyTag(std::string_view name, bool inTable, int level, bool& inParagraph) {
  bool closing = false;
  if (HeadingNumber(name, closing) != 0) return MapHeadingTag(name, inTable, level);
  for (const TagText& tag : kFixedTags) {
    if (tag.Name == name) return tag.Text;
  }
  if (name == "li") {
    inParagraph = true;
    return kListItem;
  }
  if (name == "/li") {
    inParagraph = false;
    return "</p>\r\n";
  }
  if (name == "br") return inParagraph ? kParagraphBreak : kEmptyLine;
  return {};
}

}  // namespace engine
