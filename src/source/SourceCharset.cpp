#include "source/SourceCharset.h"

#include <algorithm>
#include <optional>

#include "engine/TextUtil.h"
#include "platform/CharsetDecoder.h"
#include "source/Charsets.h"

namespace source {
namespace {

using engine::EqualsNoCase;
using engine::ToLowerAscii;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
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

// A span of the text with its blanks trimmed; nothing when it is empty.
std::optional<CharsetDeclaration> NameSpan(DeclarationKind kind, std::string_view text,
                                           size_t start, size_t end) {
  while (start < end && IsBlank(text[start])) ++start;
  while (end > start && IsBlank(text[end - 1])) --end;
  if (start == end) return std::nullopt;
  return CharsetDeclaration{kind, start, end - start};
}

// Where an XML declaration that opens the text (after blanks) ends: just past its "?>"; 0 when
// the text has none.
size_t XmlDeclarationEnd(std::string_view window) {
  const size_t open = SkipBlanks(window, 0);
  if (!StartsWithNoCase(window, open, "<?xml") || open + 5 >= window.size() ||
      !IsBlank(window[open + 5])) {
    return 0;
  }
  const size_t close = window.find("?>", open);
  return close == std::string_view::npos ? 0 : close + 2;
}

// encoding="..." inside the XML declaration that ends at `end`.
std::optional<CharsetDeclaration> XmlDeclarationName(std::string_view window, size_t end) {
  if (end == 0) return std::nullopt;
  const size_t open = SkipBlanks(window, 0);
  const std::string_view decl = window.substr(0, end - 2);
  size_t at = FindNoCase(decl, "encoding", open);
  if (at == std::string_view::npos) return std::nullopt;
  at = SkipBlanks(decl, at + 8);
  if (at >= decl.size() || decl[at] != '=') return std::nullopt;
  at = SkipBlanks(decl, at + 1);
  if (at >= decl.size() || (decl[at] != '"' && decl[at] != '\'')) return std::nullopt;
  const size_t quote = decl.find(decl[at], at + 1);
  if (quote == std::string_view::npos) return std::nullopt;
  return NameSpan(DeclarationKind::XmlDeclaration, window, at + 1, quote);
}

struct Attribute {
  std::string Name;  // lower-cased
  size_t ValueStart = 0;
  size_t ValueLength = 0;
};

// The attributes of the tag whose name ends at `pos`; nothing when the tag is cut off.
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
        a.ValueStart = pos + 1;
        a.ValueLength = end - pos - 1;
        pos = end + 1;
      } else {
        a.ValueStart = pos;
        while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '>') ++pos;
        a.ValueLength = pos - a.ValueStart;
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

// The charset=... part of a content-type value.
std::optional<CharsetDeclaration> ContentCharsetName(std::string_view text, const Attribute& a) {
  const std::string_view content = text.substr(a.ValueStart, a.ValueLength);
  for (size_t at = FindNoCase(content, "charset", 0); at != std::string_view::npos;
       at = FindNoCase(content, "charset", at + 1)) {
    size_t pos = SkipBlanks(content, at + 7);
    if (pos >= content.size() || content[pos] != '=') continue;
    pos = SkipBlanks(content, pos + 1);
    if (pos < content.size() && (content[pos] == '"' || content[pos] == '\'')) ++pos;
    size_t end = pos;
    while (end < content.size() && !IsBlank(content[end]) && content[end] != ';' &&
           content[end] != '"' && content[end] != '\'') {
      ++end;
    }
    return NameSpan(DeclarationKind::MetaHttpEquiv, text, a.ValueStart + pos, a.ValueStart + end);
  }
  return std::nullopt;
}

std::optional<CharsetDeclaration> MetaDeclaration(std::string_view text,
                                                  const std::vector<Attribute>& attributes) {
  if (const Attribute* charset = FindAttribute(attributes, "charset")) {
    return NameSpan(DeclarationKind::MetaCharset, text, charset->ValueStart,
                    charset->ValueStart + charset->ValueLength);
  }
  const Attribute* equiv = FindAttribute(attributes, "http-equiv");
  const Attribute* content = FindAttribute(attributes, "content");
  if (!equiv || !content ||
      !EqualsNoCase(engine::Trim(text.substr(equiv->ValueStart, equiv->ValueLength)),
                    "content-type")) {
    return std::nullopt;
  }
  return ContentCharsetName(text, *content);
}

bool StartsWithBytes(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The byte-order mark's length and the set it names.
std::pair<size_t, std::string_view> ByteOrderMark(std::string_view bytes) {
  if (StartsWithBytes(bytes, "\xEF\xBB\xBF")) return {3, "UTF-8"};
  if (StartsWithBytes(bytes, "\xFF\xFE")) return {2, "UTF-16LE"};
  if (StartsWithBytes(bytes, "\xFE\xFF")) return {2, "UTF-16BE"};
  return {0, {}};
}

// Read as browsers read them.
std::string BrowserName(std::string_view declared) {
  const std::string name = ToLowerAscii(declared);
  for (std::string_view latin :
       {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "us-ascii", "ascii"}) {
    if (name == latin) return "windows-1252";
  }
  // A text whose declaration could be read byte by byte is not in UTF-16.
  for (std::string_view utf16 : {"utf-16", "utf-16le", "utf-16be"}) {
    if (name == utf16) return "utf-8";
  }
  return name;
}

// Whether the name is one of those of the code page itself.
bool NamesCodePage(std::string_view name, const platform::CodePage& codePage) {
  const std::string number = std::to_string(codePage.Number());
  for (const std::string& own : {"windows-" + number, "cp" + number, "x-cp" + number}) {
    if (name == own) return true;
  }
  struct OtherName {
    int CodePage;
    std::string_view Name;
  };
  static constexpr OtherName kOtherNames[] = {
      {932, "shift_jis"}, {932, "shift-jis"},      {932, "sjis"},
      {932, "ms_kanji"},  {932, "windows-31j"},    {932, "x-sjis"},
      {936, "gbk"},       {936, "gb2312"},         {936, "x-gbk"},
      {949, "euc-kr"},    {949, "ks_c_5601-1987"}, {949, "uhc"},
      {950, "big5"},      {950, "big5-hkscs"},
  };
  for (const OtherName& other : kOtherNames) {
    if (other.CodePage == codePage.Number() && name == other.Name) return true;
  }
  return false;
}

}  // namespace

std::vector<CharsetDeclaration> FindCharsetDeclarations(std::string_view text) {
  const std::string_view window = text.substr(0, kDeclarationScanBytes);
  std::vector<CharsetDeclaration> found;
  // Meta tags are looked for after the XML declaration: a "<meta" inside its text is no tag.
  size_t pos = XmlDeclarationEnd(window);
  if (auto xml = XmlDeclarationName(window, pos)) found.push_back(*xml);
  while ((pos = window.find('<', pos)) != std::string_view::npos) {
    if (window.compare(pos, 4, "<!--") == 0) {
      const size_t end = window.find("-->", pos + 4);
      if (end == std::string_view::npos) break;
      pos = end + 3;
      continue;
    }
    if (!StartsWithNoCase(window, pos, "<meta") || pos + 5 >= window.size() ||
        !(IsBlank(window[pos + 5]) || window[pos + 5] == '/' || window[pos + 5] == '>')) {
      ++pos;
      continue;
    }
    pos += 5;
    auto attributes = ReadAttributes(window, pos);
    if (!attributes) break;
    if (auto meta = MetaDeclaration(window, *attributes)) found.push_back(*meta);
  }
  std::sort(found.begin(), found.end(),
            [](const CharsetDeclaration& a, const CharsetDeclaration& b) {
              return a.NameStart < b.NameStart;
            });
  return found;
}

std::string DeclaredCharset(std::string_view text) {
  if (auto [length, name] = ByteOrderMark(text); length) return std::string(name);
  const std::vector<CharsetDeclaration> found = FindCharsetDeclarations(text);
  for (DeclarationKind kind : {DeclarationKind::XmlDeclaration, DeclarationKind::MetaCharset,
                               DeclarationKind::MetaHttpEquiv}) {
    for (const CharsetDeclaration& d : found) {
      if (d.Kind == kind) return BrowserName(text.substr(d.NameStart, d.NameLength));
    }
  }
  return {};
}

std::string ReadInCodePage(std::string_view bytes, const platform::CodePage& codePage) {
  const std::string charset = DeclaredCharset(bytes);
  if (charset.empty()) return std::string(bytes);
  const size_t bomLength = ByteOrderMark(bytes).first;
  if (!bomLength && NamesCodePage(charset, codePage)) return std::string(bytes);

  std::optional<std::string> utf8 = platform::DecodeToUtf8(bytes.substr(bomLength), charset);
  if (!utf8) return std::string(bytes);

  std::string renamed;
  renamed.reserve(utf8->size());
  const std::string name = CodePageName(codePage.Number());
  size_t copied = 0;
  for (const CharsetDeclaration& d : FindCharsetDeclarations(*utf8)) {
    renamed.append(*utf8, copied, d.NameStart - copied);
    renamed += name;
    copied = d.NameStart + d.NameLength;
  }
  renamed.append(*utf8, copied);

  std::optional<std::string> text =
      codePage.FromUtf8(renamed, platform::Unmappable::CharacterReference);
  return text ? std::move(*text) : std::string(bytes);
}

}  // namespace source
