#include "source/SourceLanguage.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/TextUtil.h"

namespace source {
namespace {

using engine::EqualsNoCase;
using engine::ToLowerAscii;

// A code and the code to write in its place.
struct LanguageAlias {
  char From[4];
  char To[3];
};

#include "source/LanguageCodes.inc"

// Codes withdrawn from ISO 639-1 that old pages still carry, with the codes that replaced them.
constexpr LanguageAlias kWithdrawnCodes[] = {
    {"in", "id"}, {"iw", "he"}, {"ji", "yi"}, {"jw", "jv"}, {"mo", "ro"}};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether `code` is one of the `width`-letter codes packed in the sorted `codes`.
bool InPackedCodes(std::string_view codes, size_t width, std::string_view code) {
  size_t low = 0;
  size_t high = codes.size() / width;
  while (low < high) {
    const size_t middle = (low + high) / 2;
    const std::string_view at = codes.substr(middle * width, width);
    if (at == code) return true;
    if (at < code) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return false;
}

bool StartsWithNoCase(std::string_view text, size_t pos, std::string_view prefix) {
  return pos <= text.size() && text.size() - pos >= prefix.size() &&
         EqualsNoCase(text.substr(pos, prefix.size()), prefix);
}

size_t FindNoCase(std::string_view text, std::string_view what, size_t from) {
  for (size_t i = from; i + what.size() <= text.size(); ++i) {
    if (EqualsNoCase(text.substr(i, what.size()), what)) return i;
  }
  return std::string_view::npos;
}

size_t SkipBlanks(std::string_view text, size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// Where the end tag of the raw-text element `name` starts, from `pos` on.
size_t FindEndTag(std::string_view text, std::string_view name, size_t pos) {
  while ((pos = text.find("</", pos)) != std::string_view::npos) {
    const size_t after = pos + 2 + name.size();
    if (StartsWithNoCase(text, pos + 2, name) && (after == text.size() || IsBlank(text[after]) ||
                                                  text[after] == '>' || text[after] == '/')) {
      return pos;
    }
    pos += 2;
  }
  return std::string_view::npos;
}

struct Attribute {
  std::string Name;  // lower-cased
  std::string_view Value;
};

// The attributes of the tag whose name ends at `pos`, which is left after the tag's ">";
// nothing when the tag is cut off.
std::optional<std::vector<Attribute>> ReadAttributes(std::string_view text, size_t& pos) {
  std::vector<Attribute> attributes;
  for (;;) {
    while (pos < text.size() && (IsBlank(text[pos]) || text[pos] == '/')) ++pos;
    if (pos >= text.size()) return std::nullopt;
    if (text[pos] == '>') {
      ++pos;
      return attributes;
    }
    Attribute a;
    const size_t nameStart = pos;
    while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '=' && text[pos] != '>' &&
           (text[pos] != '/' || pos == nameStart)) {
      ++pos;
    }
    a.Name = ToLowerAscii(text.substr(nameStart, pos - nameStart));
    pos = SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == '=') {
      pos = SkipBlanks(text, pos + 1);
      if (pos >= text.size()) return std::nullopt;
      if (text[pos] == '"' || text[pos] == '\'') {
        const size_t end = text.find(text[pos], pos + 1);
        if (end == std::string_view::npos) return std::nullopt;
        a.Value = text.substr(pos + 1, end - pos - 1);
        pos = end + 1;
      } else {
        const size_t start = pos;
        while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '>') ++pos;
        a.Value = text.substr(start, pos - start);
      }
    }
    attributes.push_back(std::move(a));
  }
}

const Attribute* FindAttribute(const std::vector<Attribute>& attributes, std::string_view name) {
  for (const Attribute& a : attributes) {
    if (a.Name == name) return &a;
  }
  return nullptr;
}

// The element's own language: `lang`, else `xml:lang`, the first that gives a code.
std::string ElementLanguage(const std::vector<Attribute>& attributes) {
  for (std::string_view name : {"lang", "xml:lang"}) {
    if (const Attribute* a = FindAttribute(attributes, name)) {
      std::string code = Fb2LanguageCode(a->Value);
      if (!code.empty()) return code;
    }
  }
  return {};
}

// The first language of a Content-Language meta's comma-separated list that gives a code.
std::string MetaLanguage(const std::vector<Attribute>& attributes) {
  const Attribute* equiv = FindAttribute(attributes, "http-equiv");
  const Attribute* content = FindAttribute(attributes, "content");
  if (!equiv || !content || !EqualsNoCase(engine::Trim(equiv->Value), "content-language"))
    return {};
  std::string_view list = content->Value;
  for (;;) {
    const size_t comma = list.find(',');
    std::string code = Fb2LanguageCode(list.substr(0, comma));
    if (!code.empty() || comma == std::string_view::npos) return code;
    list.remove_prefix(comma + 1);
  }
}

bool StartsSelector(char c) {
  return IsBlank(c) || c == '}' || c == ',' || c == '>' || c == ';';
}

// The `so-language` of the first `p.western` rule that has one: LibreOffice's name for the
// language of the default paragraph style. Each rule is looked at once.
std::string DefaultParagraphLanguage(std::string_view css) {
  if (FindNoCase(css, "so-language", 0) == std::string_view::npos) return {};
  constexpr std::string_view kSelector = "p.western";
  size_t at = 0;
  while ((at = FindNoCase(css, kSelector, at)) != std::string_view::npos) {
    const size_t open = SkipBlanks(css, at + kSelector.size());
    if ((at > 0 && !StartsSelector(css[at - 1])) || open >= css.size() || css[open] != '{') {
      at += kSelector.size();
      continue;
    }
    const size_t close = css.find('}', open);
    const std::string_view block = css.substr(open + 1, close - open - 1);
    const size_t property = FindNoCase(block, "so-language", 0);
    if (property != std::string_view::npos) {
      size_t pos = SkipBlanks(block, property + 11);
      if (pos < block.size() && block[pos] == ':') {
        pos = SkipBlanks(block, pos + 1);
        size_t end = pos;
        while (end < block.size() && !IsBlank(block[end]) && block[end] != ';') ++end;
        std::string code = Fb2LanguageCode(block.substr(pos, end - pos));
        if (!code.empty()) return code;
      }
    }
    if (close == std::string_view::npos) break;
    at = close + 1;
  }
  return {};
}

// Elements whose content is text, not markup: a "<body" inside them is no body.
bool IsRawTextElement(std::string_view name) {
  for (std::string_view raw :
       {"script", "style", "title", "textarea", "xmp", "iframe", "noembed", "noframes"}) {
    if (name == raw) return true;
  }
  return false;
}

// What the head of a page declares, in the order of preference.
struct Declarations {
  bool HtmlSeen = false;  // only the first html start tag counts
  std::string Html;
  std::string DefaultParagraph;
  std::string Body;
  std::string Meta;

  std::string Chosen() const {
    for (const std::string* code : {&Html, &DefaultParagraph, &Body, &Meta}) {
      if (!code->empty()) return *code;
    }
    return {};
  }
};

}  // namespace

std::string Fb2LanguageCode(std::string_view tag) {
  tag = engine::Trim(tag);
  size_t length = 0;
  while (length < tag.size() && IsAsciiLetter(tag[length])) ++length;
  if (length < tag.size() && tag[length] != '-' && tag[length] != '_') return {};
  const std::string code = ToLowerAscii(tag.substr(0, length));
  if (code.size() == 2) {
    for (const LanguageAlias& withdrawn : kWithdrawnCodes) {
      if (code == withdrawn.From) return withdrawn.To;
    }
    return InPackedCodes(kTwoLetterCodes, 2, code) ? code : std::string();
  }
  if (code.size() == 3) {
    const auto alias = std::lower_bound(
        std::begin(kThreeLetterAliases), std::end(kThreeLetterAliases), code,
        [](const LanguageAlias& entry, const std::string& key) { return entry.From < key; });
    if (alias != std::end(kThreeLetterAliases) && code == alias->From) return alias->To;
    return InPackedCodes(kThreeLetterCodes, 3, code) ? code : std::string();
  }
  return {};
}

std::string DeclaredLanguage(std::string_view html) {
  const std::string_view text = html.substr(0, kLanguageScanBytes);
  Declarations found;
  size_t pos = 0;
  while ((pos = text.find('<', pos)) != std::string_view::npos) {
    if (text.compare(pos, 4, "<!--") == 0) {
      const size_t end = text.find("-->", pos + 4);
      if (end == std::string_view::npos) break;
      pos = end + 3;
      continue;
    }
    if (pos + 1 >= text.size()) break;
    const char next = text[pos + 1];
    if (next == '!' || next == '?' || next == '/') {
      // A doctype, a processing instruction or an end tag: nothing declared in it.
      const size_t end = text.find('>', pos + 2);
      if (end == std::string_view::npos) break;
      pos = end + 1;
      continue;
    }
    if (!IsAsciiLetter(next)) {
      ++pos;
      continue;
    }
    size_t nameEnd = pos + 1;
    while (nameEnd < text.size() && !IsBlank(text[nameEnd]) && text[nameEnd] != '>' &&
           text[nameEnd] != '/') {
      ++nameEnd;
    }
    const std::string name = ToLowerAscii(text.substr(pos + 1, nameEnd - pos - 1));
    pos = nameEnd;
    const std::optional<std::vector<Attribute>> attributes = ReadAttributes(text, pos);
    if (!attributes) break;
    if (name == "html") {
      if (!found.HtmlSeen) found.Html = ElementLanguage(*attributes);
      found.HtmlSeen = true;
    } else if (name == "body") {
      found.Body = ElementLanguage(*attributes);
      break;
    } else if (name == "meta") {
      if (found.Meta.empty()) found.Meta = MetaLanguage(*attributes);
    } else if (IsRawTextElement(name)) {
      const size_t end = FindEndTag(text, name, pos);
      const std::string_view content = text.substr(pos, end - pos);
      if (name == "style" && found.DefaultParagraph.empty())
        found.DefaultParagraph = DefaultParagraphLanguage(content);
      if (end == std::string_view::npos) break;
      pos = end;
    }
  }
  return found.Chosen();
}

}  // namespace source
