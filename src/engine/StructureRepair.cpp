#include "engine/StructureRepair.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/Escaping.h"

namespace engine {

namespace {

// ---------------------------------------------------------------------------------------------
// Reading the body text: tags and the text between them.

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsNameStart(char c) {
  return IsAsciiLetter(c) || c == '_' || c == ':';
}
bool IsNameChar(char c) {
  return IsNameStart(c) || IsDigit(c) || c == '-' || c == '.';
}

// Equality of the short strings compared here, without the cost of a library call.
bool SameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// A character XML 1.0 allows.
bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The length of a well-formed reference at `pos` ("&amp;", "&#1234;", "&#x4D2;"), or 0.
size_t ReferenceLength(std::string_view s, size_t pos) {
  size_t i = pos + 1;
  if (i < s.size() && s[i] == '#') {
    ++i;
    const bool hex = i < s.size() && s[i] == 'x';
    if (hex) ++i;
    uint32_t value = 0;
    size_t digits = 0;
    for (; i < s.size() && digits < 8; ++i, ++digits) {
      const char c = s[i];
      uint32_t d;
      if (IsDigit(c)) {
        d = static_cast<uint32_t>(c - '0');
      } else if (hex && c >= 'a' && c <= 'f') {
        d = static_cast<uint32_t>(c - 'a' + 10);
      } else if (hex && c >= 'A' && c <= 'F') {
        d = static_cast<uint32_t>(c - 'A' + 10);
      } else {
        break;
      }
      value = value * (hex ? 16u : 10u) + d;
    }
    if (digits == 0 || i >= s.size() || s[i] != ';' || !IsXmlChar(value)) return 0;
    return i + 1 - pos;
  }
  for (std::string_view name : {"amp;", "lt;", "gt;", "quot;", "apos;"}) {
    if (s.compare(i, name.size(), name) == 0) return name.size() + 1;
  }
  return 0;
}

// The bytes AppendSafeText must look at: "&", "<", ">", '"' and the control bytes XML does not
// allow. Everything else is copied as it stands.
constexpr std::array<bool, 256> kSafeTextStops = [] {
  std::array<bool, 256> stops{};
  for (int b = 0; b < 32; ++b) stops[b] = IsXmlForbiddenByte(static_cast<unsigned char>(b));
  for (unsigned char b : {'&', '<', '>', '"'}) stops[b] = true;
  return stops;
}();

// Where the next byte AppendSafeText must look at is, from `i`: eight bytes at a time while a
// word holds none, as text runs are long and such bytes rare.
size_t SkipPlainText(std::string_view s, size_t i) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighs = 0x8080808080808080u;
  auto hasZero = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
  const size_t n = s.size();
  for (;;) {
    while (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, s.data() + i, 8);
      // Bytes below 32 (tabs and line breaks among them), "&", "<", ">" and '"'.
      const uint64_t maybe = ((word - kOnes * 32) & ~word & kHighs) |
                             hasZero(word ^ (kOnes * '&')) | hasZero(word ^ (kOnes * '<')) |
                             hasZero(word ^ (kOnes * '>')) | hasZero(word ^ (kOnes * '"'));
      if (!maybe) {
        i += 8;
        continue;
      }
      if constexpr (std::endian::native != std::endian::little) break;
      // The lowest flag is exact (the ones above it may not be); it may be a blank.
      i += static_cast<size_t>(std::countr_zero(maybe)) / 8;
      if (kSafeTextStops[static_cast<unsigned char>(s[i])]) return i;
      ++i;
    }
    const size_t end = std::min(n, i + 8);
    for (; i < end; ++i) {
      if (kSafeTextStops[static_cast<unsigned char>(s[i])]) return i;
    }
    if (i == n) return n;
  }
}

// Text made safe for XML without changing what it reads as: a "&" that opens no reference is
// written "&amp;", "<" and ">" as references; bytes XML does not allow are dropped.
void AppendSafeText(std::string& out, std::string_view s, bool attribute = false) {
  const size_t n = s.size();
  size_t plain = 0;
  size_t i = 0;
  for (;;) {
    while (i < n && !kSafeTextStops[static_cast<unsigned char>(s[i])]) ++i;
    if (i == n) break;
    const char c = s[i];
    std::string_view replacement;
    if (c == '&') {
      const size_t length = ReferenceLength(s, i);
      if (length != 0) {
        i += length;
        continue;
      }
      replacement = "&amp;";
    } else if (c == '<') {
      replacement = "&lt;";
    } else if (c == '>') {
      replacement = "&gt;";
    } else if (c == '"') {
      if (!attribute) {
        ++i;
        continue;
      }
      replacement = "&quot;";
    }
    out.append(s.substr(plain, i - plain)).append(replacement);
    plain = ++i;
  }
  out.append(s.substr(plain));
}

struct RawTag {
  bool Closing = false;
  bool SelfClosing = false;
  std::string_view Name;
  std::string_view Attributes;  // between the name and the closing ">" (or "/>")
};

// Reads the tag at `pos` (a "<"); false when the "<" opens no tag and is text.
bool ReadTag(std::string_view s, size_t pos, RawTag& tag, size_t& end) {
  size_t i = pos + 1;
  tag = RawTag{};
  if (i < s.size() && s[i] == '/') {
    tag.Closing = true;
    ++i;
  }
  if (i >= s.size() || !IsNameStart(s[i])) return false;
  const size_t nameStart = i;
  while (i < s.size() && IsNameChar(s[i])) ++i;
  tag.Name = s.substr(nameStart, i - nameStart);
  const size_t attributesStart = i;
  // A quote opens a value only right after "=", as the attributes are read below; elsewhere
  // it is part of a name and must not swallow the text after the tag.
  char quote = 0;
  bool afterEquals = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if ((c == '"' || c == '\'') && afterEquals) {
      quote = c;
      afterEquals = false;
    } else if (c == '>') {
      break;
    } else if (c == '=') {
      afterEquals = true;
    } else if (!IsBlank(c)) {
      afterEquals = false;
    }
  }
  if (i >= s.size()) {
    // A quote that never closes: the first ">" after the name ends the tag.
    i = s.find('>', attributesStart);
    if (i == std::string_view::npos) return false;
  }
  size_t attributesEnd = i;
  if (attributesEnd > attributesStart && s[attributesEnd - 1] == '/') {
    tag.SelfClosing = true;
    --attributesEnd;
  }
  tag.Attributes = s.substr(attributesStart, attributesEnd - attributesStart);
  end = i + 1;
  return true;
}

struct RawAttribute {
  std::string_view Name;
  std::string_view Value;
};

std::vector<RawAttribute> ReadAttributes(std::string_view s) {
  std::vector<RawAttribute> result;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    const size_t nameStart = i;
    while (i < s.size() && !IsBlank(s[i]) && s[i] != '=') ++i;
    RawAttribute attribute{s.substr(nameStart, i - nameStart), {}};
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i < s.size() && s[i] == '=') {
      ++i;
      while (i < s.size() && IsBlank(s[i])) ++i;
      if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
        const char quote = s[i++];
        const size_t valueStart = i;
        while (i < s.size() && s[i] != quote) ++i;
        attribute.Value = s.substr(valueStart, i - valueStart);
        if (i < s.size()) ++i;
      } else {
        const size_t valueStart = i;
        while (i < s.size() && !IsBlank(s[i])) ++i;
        attribute.Value = s.substr(valueStart, i - valueStart);
      }
    }
    if (!attribute.Name.empty()) result.push_back(attribute);
    if (i == nameStart) ++i;
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// The FB2 body vocabulary.

enum class El : uint8_t {
  Body,
  Section,
  Title,
  Epigraph,
  Cite,
  Poem,
  Stanza,
  P,
  Subtitle,
  V,
  TextAuthor,
  Strong,
  Emphasis,
  Strikethrough,
  Sub,
  Sup,
  Code,
  A,
  Image,
  EmptyLine,
  Table,
  Tr,
  Td,
  Th,
  Text,  // a run of text that is not all blank
  Unknown
};

constexpr std::string_view kNames[] = {
    "body", "section",  "title", "epigraph",    "cite",   "poem",       "stanza",
    "p",    "subtitle", "v",     "text-author", "strong", "emphasis",   "strikethrough",
    "sub",  "sup",      "code",  "a",           "image",  "empty-line", "table",
    "tr",   "td",       "th"};

// The names are found by a perfect hash of their length and three of their letters: one
// comparison per tag, which matters as a body holds a tag every few dozen bytes.
constexpr size_t NameSlot(std::string_view name) {
  const auto byte = [&](size_t i) {
    return static_cast<size_t>(static_cast<unsigned char>(name[i]));
  };
  return (name.size() + 5 * byte(0) + 7 * byte(name.size() - 1) + 3 * byte(name.size() / 2)) % 64;
}

constexpr uint8_t kNoName = 0xFF;
constexpr std::array<uint8_t, 64> kNameSlots = [] {
  std::array<uint8_t, 64> slots{};
  slots.fill(kNoName);
  for (size_t i = 0; i < std::size(kNames); ++i)
    slots[NameSlot(kNames[i])] = static_cast<uint8_t>(i);
  return slots;
}();
static_assert(std::count_if(kNameSlots.begin(), kNameSlots.end(),
                            [](uint8_t slot) { return slot != kNoName; }) == std::size(kNames),
              "two element names share a slot");

El ElementOf(std::string_view name) {
  if (name.empty()) return El::Unknown;
  const uint8_t slot = kNameSlots[NameSlot(name)];
  return slot != kNoName && SameBytes(kNames[slot], name) ? static_cast<El>(slot) : El::Unknown;
}

std::string_view NameOf(El e) {
  return kNames[static_cast<size_t>(e)];
}

bool IsParagraph(El e) {
  return e == El::P || e == El::Subtitle || e == El::V || e == El::TextAuthor;
}
bool IsStyle(El e) {
  return e >= El::Strong && e <= El::Code;
}
// What may stand inside a paragraph.
bool IsInlineContent(El e) {
  return IsStyle(e) || e == El::A || e == El::Image || e == El::Text;
}
bool IsEmptyElement(El e) {
  return e == El::Image || e == El::EmptyLine;
}
bool IsCell(El e) {
  return e == El::Td || e == El::Th;
}

enum class Act { Contain, Wrap, Drop, Close };
struct Decision {
  Act What;
  El Element;  // Contain: the element as it is written (maybe renamed); Wrap: the wrapper
};

constexpr size_t kMaxDepth = 64;    // deeper inline nesting is flattened
constexpr size_t kMaxPending = 16;  // inline elements waiting to be opened again

struct Open {
  El Element;
  El Source;               // the tag that opened it; Unknown for one the repair added
  std::string Attributes;  // as written, for opening it again
  int Phase = 0;           // how far its content has come (see Decide)
};

bool IsValidInteger(std::string_view v) {
  size_t i = 0;
  if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
  if (i == v.size()) return false;
  for (; i < v.size(); ++i) {
    if (!IsDigit(v[i])) return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view v) {
  while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
  while (!v.empty() && IsBlank(v.back())) v.remove_suffix(1);
  return v;
}

std::string LowerAscii(std::string_view v) {
  std::string out(v);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

bool IsXmlName(std::string_view v) {
  if (v.empty()) return false;
  const unsigned char first = static_cast<unsigned char>(v[0]);
  if (!(IsAsciiLetter(v[0]) || v[0] == '_' || first >= 0x80)) return false;
  for (char c : v) {
    if (!(IsNameChar(c) || static_cast<unsigned char>(c) >= 0x80) || c == ':') return false;
  }
  return true;
}

// A link target libxml2 and readers take as a URI: a stray "%", a second "#" and brackets
// are percent-encoded.
void AppendLinkTarget(std::string& out, std::string_view v) {
  std::string fixed;
  bool fragment = false;
  auto isHex = [](char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  };
  for (size_t i = 0; i < v.size(); ++i) {
    const char c = v[i];
    if (c == '%' && !(i + 2 < v.size() && isHex(v[i + 1]) && isHex(v[i + 2]))) {
      fixed.append("%25");
    } else if (c == '#') {
      fixed.append(fragment ? "%23" : "#");
      fragment = true;
    } else if (c == '[') {
      fixed.append("%5B");
    } else if (c == ']') {
      fixed.append("%5D");
    } else {
      fixed.push_back(c);
    }
  }
  AppendSafeText(out, fixed, true);
}

class Repairer {
 public:
  explicit Repairer(std::string& out) : out_(out) {}

  void Run(std::string_view body);

 private:
  size_t TextUpToTag(size_t pos, RawTag& tag, size_t& tagEnd);
  void OnBlanks(size_t from, size_t to);
  void OnOpen(const RawTag& tag, El element);
  void OnClose(El name);

  Decision Decide(const Open& top, El x) const;
  void Place(El x);  // makes room for x: closes and wraps until the top may hold it
  void Push(El e, El source, std::string attributes, bool asWritten = false);
  void CloseTop(bool byItsOwnTag);
  void CloseAllAbove(size_t index);
  void ReopenPending();
  void FlushAfterBody() {
    if (afterBody_.empty()) return;
    Out().append(afterBody_);
    afterBody_.clear();
  }

  // Most of the body comes out as it went in. Such bytes are not copied one piece at a time:
  // they are owed as one span of the input and copied when something else must be written.
  void Keep(size_t from, size_t to) {
    if (from != keptTo_) {
      FlushKept();
      keptFrom_ = from;
    }
    keptTo_ = to;
  }
  void FlushKept() {
    out_.append(in_.substr(keptFrom_, keptTo_ - keptFrom_));
    keptFrom_ = keptTo_;
  }
  // The output, for bytes that differ from the input.
  std::string& Out() {
    FlushKept();
    return out_;
  }
  // Writes the tag being handled as it stands.
  void KeepTag() { Keep(tagBegin_, tagEnd_); }
  void NoteChild(Open& parent, El child);
  std::string Attributes(El e, std::string_view raw, bool& usable);
  void AppendId(std::string& out, std::string_view value);

  bool InParagraphChain() const;

  std::string_view in_;
  size_t keptFrom_ = 0, keptTo_ = 0;
  RawTag tag_;  // the tag being handled
  size_t tagBegin_ = 0, tagEnd_ = 0;
  std::string& out_;
  std::vector<Open> stack_;
  std::vector<Open> pending_;
  size_t pendingInsert_ = 0;
  bool bodyOpened_ = false;
  bool bodyClosed_ = false;  // its closing tag has come; the body stays open for what follows
  std::string afterBody_;    // blanks after the closing tag, written after the body
  std::unordered_set<std::string> ids_;
};

void Repairer::OnBlanks(size_t from, size_t to) {
  if (bodyClosed_ && stack_.size() == 1) {
    afterBody_.append(in_.substr(from, to - from));
  } else {
    Keep(from, to);
  }
}

// Handles the text from `pos` up to the next tag, which it reads into `tag`, and returns where
// that tag begins (the body's size when none follows). A "<" that opens no tag is text; the
// text is made safe as AppendSafeText does it, keeping what needs no change.
size_t Repairer::TextUpToTag(size_t pos, RawTag& tag, size_t& tagEnd) {
  const std::string_view s = in_;
  const size_t n = s.size();
  size_t i = pos;
  while (i < n && IsBlank(s[i])) ++i;
  if (i == n || (s[i] == '<' && ReadTag(s, i, tag, tagEnd))) {
    if (i > pos) OnBlanks(pos, i);
    return i;
  }
  FlushAfterBody();
  Place(El::Text);
  if (InParagraphChain()) ReopenPending();
  size_t plain = pos;
  for (;;) {
    i = SkipPlainText(s, i);
    if (i == n) break;
    const char c = s[i];
    std::string_view replacement;
    if (c == '<') {
      if (ReadTag(s, i, tag, tagEnd)) break;
      replacement = "&lt;";
    } else if (c == '&') {
      const size_t length = ReferenceLength(s, i);
      if (length != 0) {
        i += length;
        continue;
      }
      replacement = "&amp;";
    } else if (c == '>') {
      replacement = "&gt;";
    } else if (c == '"') {
      ++i;
      continue;
    }
    Keep(plain, i);
    Out().append(replacement);
    plain = ++i;
  }
  Keep(plain, i);
  return i;
}

void Repairer::Run(std::string_view body) {
  in_ = body;
  size_t pos = 0;
  while (pos < body.size()) {
    RawTag& tag = tag_;
    size_t tagEnd = 0;
    const size_t tagBegin = TextUpToTag(pos, tag, tagEnd);
    if (tagBegin >= body.size()) break;
    tagBegin_ = tagBegin;
    tagEnd_ = tagEnd;
    const El element = ElementOf(tag.Name);
    if (tag.Closing) {
      if (element != El::Body) FlushAfterBody();
      OnClose(element);
    } else if (element != El::Unknown) {
      if (element != El::Body) FlushAfterBody();
      OnOpen(tag, element);
      if (tag.SelfClosing) OnClose(element);
    }
    pos = tagEnd;
  }
  tag_ = RawTag{};
  while (!stack_.empty()) CloseTop(false);
  FlushAfterBody();
  if (!bodyOpened_) Out().append("<body>\r\n<section>\r\n</section>\r\n</body>\r\n");
  FlushKept();
}

bool Repairer::InParagraphChain() const {
  for (size_t i = stack_.size(); i-- > 0;) {
    const El e = stack_[i].Element;
    if (IsParagraph(e)) return true;
    if (!IsStyle(e) && e != El::A) return false;
  }
  return false;
}

Decision Repairer::Decide(const Open& top, El x) const {
  const int phase = top.Phase;
  switch (top.Element) {
    case El::Body:
      return x == El::Section ? Decision{Act::Contain, x} : Decision{Act::Wrap, El::Section};
    case El::Section:
      // Phase: 0 empty, 1 title, 2 epigraph, 3 picture before the text, 4 text.
      switch (x) {
        case El::Section:
          return {Act::Close, x};
        case El::Title:
          return phase == 0 ? Decision{Act::Contain, x} : Decision{Act::Drop, x};
        case El::Epigraph:
          return phase <= 2 ? Decision{Act::Contain, x} : Decision{Act::Contain, El::Cite};
        case El::Image:
          return phase == 3 ? Decision{Act::Wrap, El::P} : Decision{Act::Contain, x};
        case El::V:
        case El::TextAuthor:
          return {Act::Contain, El::P};
        case El::P:
        case El::Subtitle:
        case El::Cite:
        case El::Poem:
        case El::Table:
        case El::EmptyLine:
          return {Act::Contain, x};
        case El::Stanza:
          return {Act::Wrap, El::Poem};
        case El::Tr:
        case El::Td:
        case El::Th:
          return {Act::Wrap, El::Table};
        default:
          return {Act::Wrap, El::P};
      }
    case El::Title:
      if (IsParagraph(x)) return {Act::Contain, El::P};
      if (x == El::EmptyLine) return {Act::Contain, x};
      if (IsInlineContent(x)) return {Act::Wrap, El::P};
      return {Act::Close, x};
    case El::Epigraph:
    case El::Cite: {
      // Phase 1: the text authors have begun; only more of them may follow.
      const bool cite = top.Element == El::Cite;
      if (phase == 1 && x != El::TextAuthor) return {Act::Close, x};
      switch (x) {
        case El::P:
        case El::V:
          return {Act::Contain, El::P};
        case El::Subtitle:
          return {Act::Contain, cite ? x : El::P};
        case El::TextAuthor:
        case El::EmptyLine:
        case El::Poem:
          return {Act::Contain, x};
        case El::Table:
          return cite ? Decision{Act::Contain, x} : Decision{Act::Close, x};
        case El::Cite:
        case El::Epigraph:
          return cite ? Decision{Act::Close, x} : Decision{Act::Contain, El::Cite};
        case El::Title:
          return {Act::Drop, x};
        case El::Stanza:
          return {Act::Wrap, El::Poem};
        case El::Tr:
        case El::Td:
        case El::Th:
          return cite ? Decision{Act::Wrap, El::Table} : Decision{Act::Close, x};
        default:
          return IsInlineContent(x) ? Decision{Act::Wrap, El::P} : Decision{Act::Close, x};
      }
    }
    case El::Poem:
      // Phase: 0 empty, 1 title, 2 epigraph, 3 stanzas, 4 text authors.
      switch (x) {
        case El::Title:
          return phase == 0 ? Decision{Act::Contain, x} : Decision{Act::Drop, x};
        case El::Epigraph:
          return phase <= 2 ? Decision{Act::Contain, x} : Decision{Act::Drop, x};
        case El::Stanza:
        case El::Subtitle:
          return phase <= 3 ? Decision{Act::Contain, x} : Decision{Act::Close, x};
        case El::TextAuthor:
          return {Act::Contain, x};
        case El::P:
        case El::V:
          return phase <= 3 ? Decision{Act::Wrap, El::Stanza} : Decision{Act::Close, x};
        default:
          return IsInlineContent(x) && phase <= 3 ? Decision{Act::Wrap, El::Stanza}
                                                  : Decision{Act::Close, x};
      }
    case El::Stanza:
      // Phase: 0 empty, 1 title, 2 subtitle, 3 verses.
      switch (x) {
        case El::Title:
          return phase == 0 ? Decision{Act::Contain, x} : Decision{Act::Close, x};
        case El::Subtitle:
          return phase <= 1 ? Decision{Act::Contain, x} : Decision{Act::Close, x};
        case El::V:
        case El::P:
          return {Act::Contain, El::V};
        default:
          return IsInlineContent(x) ? Decision{Act::Wrap, El::V} : Decision{Act::Close, x};
      }
    case El::Table:
      if (x == El::Tr) return {Act::Contain, x};
      if (IsCell(x) || IsInlineContent(x) || IsParagraph(x) || x == El::Title) {
        return {Act::Wrap, El::Tr};
      }
      return {Act::Close, x};
    case El::Tr:
      if (IsCell(x)) return {Act::Contain, x};
      if (IsInlineContent(x) || IsParagraph(x) || x == El::Title) return {Act::Wrap, El::Td};
      return {Act::Close, x};
    case El::Td:
    case El::Th:
      if (IsInlineContent(x)) return {Act::Contain, x};
      // The cell keeps the content of paragraphs and titles, not their tags.
      if (IsParagraph(x) || x == El::Title || x == El::EmptyLine) return {Act::Drop, x};
      return {Act::Close, x};
    case El::A:
      if (IsStyle(x) || x == El::Image || x == El::Text) return {Act::Contain, x};
      return {Act::Close, x};
    default:  // paragraphs and style elements
      return IsInlineContent(x) ? Decision{Act::Contain, x} : Decision{Act::Close, x};
  }
}

void Repairer::NoteChild(Open& parent, El child) {
  switch (parent.Element) {
    case El::Body:
    case El::Table:
    case El::Tr:
      parent.Phase = 1;
      break;
    case El::Section:
      if (child == El::Title) {
        parent.Phase = 1;
      } else if (child == El::Epigraph) {
        parent.Phase = 2;
      } else if (child == El::Image && parent.Phase < 3) {
        parent.Phase = 3;
      } else {
        parent.Phase = 4;
      }
      break;
    case El::Epigraph:
    case El::Cite:
      if (child == El::TextAuthor) parent.Phase = 1;
      break;
    case El::Poem:
      parent.Phase = child == El::Title        ? 1
                     : child == El::Epigraph   ? 2
                     : child == El::TextAuthor ? 4
                                               : 3;
      break;
    case El::Stanza:
      parent.Phase = child == El::Title ? 1 : child == El::Subtitle ? 2 : 3;
      break;
    default:
      break;
  }
}

// Opens `e`; `asWritten` when the tag being handled reads exactly so.
void Repairer::Push(El e, El source, std::string attributes, bool asWritten) {
  if (!stack_.empty()) NoteChild(stack_.back(), e);
  const bool empty = IsEmptyElement(e);
  if (asWritten) {
    KeepTag();
  } else {
    Out().append("<").append(NameOf(e)).append(attributes).append(empty ? "/>" : ">");
  }
  if (empty) return;
  stack_.push_back(Open{e, source, std::move(attributes), 0});
}

// Closes the innermost open element. Style elements and links closed by anything but their
// own tag wait to be opened again in the next paragraph.
void Repairer::CloseTop(bool byItsOwnTag) {
  Open& top = stack_.back();
  switch (top.Element) {
    case El::Section:
      if (top.Phase >= 1 && top.Phase <= 3) Out().append("<empty-line/>");
      break;
    case El::Body:
      if (top.Phase == 0) Out().append("<section></section>");
      break;
    case El::Poem:
      if (top.Phase < 3) Out().append("<stanza><v></v></stanza>");
      break;
    case El::Stanza:
      if (top.Phase < 3) Out().append("<v></v>");
      break;
    case El::Table:
      if (top.Phase == 0) Out().append("<tr><td></td></tr>");
      break;
    case El::Tr:
      if (top.Phase == 0) Out().append("<td></td>");
      break;
    default:
      break;
  }
  if (byItsOwnTag && tag_.Closing && tag_.Attributes.empty() && top.Source == top.Element) {
    KeepTag();
  } else {
    Out().append("</").append(NameOf(top.Element)).append(">");
  }
  if (!byItsOwnTag && (IsStyle(top.Element) || top.Element == El::A) && top.Source != El::Unknown) {
    if (pending_.size() < kMaxPending) {
      // Waiting elements may have been dropped since the mark was set.
      const size_t at = std::min(pendingInsert_, pending_.size());
      pending_.insert(pending_.begin() + static_cast<std::ptrdiff_t>(at), std::move(top));
    }
  }
  stack_.pop_back();
}

void Repairer::CloseAllAbove(size_t index) {
  pendingInsert_ = pending_.size();
  while (stack_.size() > index + 1) CloseTop(false);
}

void Repairer::ReopenPending() {
  if (pending_.empty()) return;
  std::vector<Open> waiting;
  waiting.swap(pending_);
  bool inLink = false;
  for (const Open& o : stack_) inLink = inLink || o.Element == El::A;
  for (Open& o : waiting) {
    if ((o.Element == El::A && inLink) || stack_.size() >= kMaxDepth) {
      pending_.push_back(std::move(o));
      continue;
    }
    inLink = inLink || o.Element == El::A;
    Push(o.Element, o.Source, std::move(o.Attributes));
  }
}

void Repairer::Place(El x) {
  pendingInsert_ = pending_.size();
  for (;;) {
    if (stack_.empty()) {
      bodyOpened_ = true;
      Push(El::Body, El::Unknown, {});
      if (x == El::Body) return;
      continue;
    }
    const Decision d = Decide(stack_.back(), x);
    if (d.What == Act::Contain || d.What == Act::Drop) return;
    if (d.What == Act::Wrap) {
      Push(d.Element, El::Unknown, {});
      continue;
    }
    // Close: a paragraph of a title ended by a block ends the title too (a heading that was
    // never closed).
    const bool paragraph = IsParagraph(stack_.back().Element);
    CloseTop(false);
    if (paragraph && !stack_.empty() && stack_.back().Element == El::Title) CloseTop(false);
  }
}

void Repairer::OnOpen(const RawTag& tag, El element) {
  if (element == El::Body) {
    if (!bodyOpened_) Place(El::Body);
    return;
  }
  if (element == El::A) {
    // Links do not nest: an open one ends first.
    for (size_t i = stack_.size(); i-- > 0;) {
      const El e = stack_[i].Element;
      if (e == El::A) {
        CloseAllAbove(i);
        CloseTop(true);
        break;
      }
      if (!IsStyle(e)) break;
    }
  }
  if ((IsStyle(element) || element == El::A) && stack_.size() >= kMaxDepth) return;
  Place(element);
  const Decision d = Decide(stack_.back(), element);
  if (d.What == Act::Drop) return;
  bool usable = true;
  std::string attributes = Attributes(d.Element, tag.Attributes, usable);
  if (d.Element == El::Image && !IsInlineContent(stack_.back().Element) &&
      !IsParagraph(stack_.back().Element) && !IsCell(stack_.back().Element)) {
    // A picture between blocks may carry a title as well.
    for (const RawAttribute& a : ReadAttributes(tag.Attributes)) {
      if (a.Name == "title") {
        attributes.append(" title=\"");
        AppendSafeText(attributes, a.Value, true);
        attributes.append("\"");
        break;
      }
    }
  }
  if (!usable) return;
  if (IsInlineContent(d.Element) && InParagraphChain()) ReopenPending();
  const bool asWritten = d.Element == element && tag.SelfClosing == IsEmptyElement(element) &&
                         SameBytes(tag.Attributes, attributes);
  Push(d.Element, element, std::move(attributes), asWritten);
}

void Repairer::OnClose(El name) {
  if (name == El::Unknown) return;
  if (name == El::Body) {
    if (!stack_.empty()) {
      CloseAllAbove(0);
      bodyClosed_ = true;
    }
    return;
  }
  for (size_t i = stack_.size(); i-- > 0;) {
    if (stack_[i].Source == name) {
      CloseAllAbove(i);
      CloseTop(true);
      return;
    }
  }
  // Not open: its element may be waiting to be opened again, which it now need not be.
  for (size_t i = pending_.size(); i-- > 0;) {
    if (pending_[i].Source == name) {
      pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(i));
      if (i < pendingInsert_) --pendingInsert_;
      return;
    }
  }
}

void Repairer::AppendId(std::string& out, std::string_view value) {
  const std::string_view id = TrimBlanks(value);
  if (!IsXmlName(id) || !ids_.emplace(id).second) return;
  out.append(" id=\"").append(id).append("\"");
}

// The attributes the schema allows on the element, with values it accepts; others are dropped.
// `usable` turns false for a link without a target (it stays its content only).
std::string Repairer::Attributes(El e, std::string_view raw, bool& usable) {
  std::string out;
  if (raw.empty() && e != El::A) return out;
  const std::vector<RawAttribute> attributes = ReadAttributes(raw);
  std::unordered_set<std::string_view> written;
  auto once = [&written](std::string_view name) { return written.insert(name).second; };
  switch (e) {
    case El::A:
      usable = false;
      for (const RawAttribute& a : attributes) {
        if (a.Name == "xlink:href" && once(a.Name)) {
          out.append(" xlink:href=\"");
          AppendLinkTarget(out, a.Value);
          out.append("\"");
          usable = true;
        }
      }
      break;
    case El::Image:
      for (const RawAttribute& a : attributes) {
        if ((a.Name == "xlink:href" || a.Name == "alt") && once(a.Name)) {
          out.append(" ").append(a.Name).append("=\"");
          AppendSafeText(out, a.Value, true);
          out.append("\"");
        }
      }
      break;
    case El::Table:
    case El::Tr:
    case El::Td:
    case El::Th: {
      const bool cell = IsCell(e);
      for (const RawAttribute& a : attributes) {
        if (!once(a.Name)) continue;
        const std::string_view value = TrimBlanks(a.Value);
        if (a.Name == "style" && e != El::Tr) {
          out.append(" style=\"");
          AppendSafeText(out, a.Value, true);
          out.append("\"");
        } else if (a.Name == "id" && e != El::Tr) {
          AppendId(out, a.Value);
        } else if ((a.Name == "colspan" || a.Name == "rowspan") && cell && IsValidInteger(value)) {
          out.append(" ").append(a.Name).append("=\"").append(value).append("\"");
        } else if (a.Name == "align" && e != El::Table) {
          const std::string v = LowerAscii(value);
          if (v == "left" || v == "right" || v == "center") {
            out.append(" align=\"").append(v).append("\"");
          }
        } else if (a.Name == "valign" && cell) {
          const std::string v = LowerAscii(value);
          if (v == "top" || v == "middle" || v == "bottom") {
            out.append(" valign=\"").append(v).append("\"");
          }
        }
      }
      break;
    }
    default:
      break;
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Picture ids.

// Replaces what a name may not hold by "_", and a first character that may not begin one.
std::string MakeXmlName(std::string_view id) {
  const auto allowed = [](char c) { return IsNameChar(c) && c != ':' ? c : '_'; };
  std::string name;
  if (id.empty() || !IsNameStart(allowed(id[0]))) name.push_back('_');
  for (char c : id) name.push_back(allowed(c));
  return name;
}

struct IdSpot {
  size_t Begin, End;  // the value's bytes in the document
  bool Binary;        // a binary's id, else an image's reference (after its "#")
};

// The value of attribute `name` in the tag at [tagBegin, tagEnd), as offsets into the document.
bool FindAttribute(std::string_view doc, size_t tagBegin, size_t tagEnd, std::string_view name,
                   size_t& begin, size_t& end) {
  const std::string_view tag = doc.substr(tagBegin, tagEnd - tagBegin);
  size_t pos = 1;
  while ((pos = tag.find(name, pos)) != std::string_view::npos) {
    const size_t eq = pos + name.size();
    if (IsBlank(tag[pos - 1]) && eq + 1 < tag.size() && tag[eq] == '=' &&
        (tag[eq + 1] == '"' || tag[eq + 1] == '\'')) {
      const size_t close = tag.find(tag[eq + 1], eq + 2);
      if (close == std::string_view::npos) return false;
      begin = tagBegin + eq + 2;
      end = tagBegin + close;
      return true;
    }
    pos = eq;
  }
  return false;
}

}  // namespace

void AppendRepairedBody(std::string& out, std::string_view body) {
  out.reserve(out.size() + body.size() + body.size() / 16 + 256);
  Repairer(out).Run(body);
}

void RepairPictureIds(std::string& text) {
  const std::string_view document = text;
  std::vector<IdSpot> spots;
  std::unordered_set<std::string_view> otherIds;
  for (size_t pos = document.find('<'); pos != std::string_view::npos;
       pos = document.find('<', pos + 1)) {
    // Most tags are closing ones or carry no attributes: they hold no id.
    size_t nameEnd = pos + 1;
    if (nameEnd < document.size() && document[nameEnd] == '/') continue;
    while (nameEnd < document.size() && IsNameChar(document[nameEnd])) ++nameEnd;
    if (nameEnd < document.size() && document[nameEnd] == '>') {
      pos = nameEnd;
      continue;
    }
    const bool binary = document.compare(pos + 1, 6, "binary") == 0;
    const bool image = document.compare(pos + 1, 5, "image") == 0;
    const size_t tagEnd = document.find('>', pos);
    if (tagEnd == std::string_view::npos) break;
    size_t begin = 0, end = 0;
    if (binary && FindAttribute(document, pos, tagEnd, "id", begin, end)) {
      spots.push_back({begin, end, true});
    } else if (image && FindAttribute(document, pos, tagEnd, "xlink:href", begin, end) &&
               begin < end && document[begin] == '#') {
      spots.push_back({begin + 1, end, false});
    } else if (!binary && FindAttribute(document, pos, tagEnd, "id", begin, end)) {
      otherIds.insert(document.substr(begin, end - begin));
    }
    if (binary) {
      // The Base64 text holds no tags: go on after the binary.
      const size_t close = document.find("</binary>", tagEnd);
      if (close == std::string_view::npos) break;
      pos = close;
    } else {
      pos = tagEnd;
    }
  }

  // First binary of an id keeps it when it is a valid name; later ones and invalid ones get
  // new names, unique in the document.
  std::unordered_map<std::string_view, std::string> renamed;
  std::unordered_set<std::string> used;
  for (std::string_view id : otherIds) used.emplace(id);
  std::unordered_set<std::string_view> seen;
  std::vector<std::string> binaryIds(spots.size());
  for (const IdSpot& s : spots) {
    const std::string_view id = document.substr(s.Begin, s.End - s.Begin);
    if (s.Binary && IsXmlName(id) && !otherIds.count(id)) used.emplace(id);
  }
  auto fresh = [&used](std::string_view id) {
    const std::string base = MakeXmlName(id);
    std::string name = base;
    for (int n = 2; !used.emplace(name).second; ++n) name = base + "_" + std::to_string(n);
    return name;
  };
  bool changes = false;
  for (size_t i = 0; i < spots.size(); ++i) {
    const IdSpot& s = spots[i];
    if (!s.Binary) continue;
    const std::string_view id = document.substr(s.Begin, s.End - s.Begin);
    const bool first = seen.insert(id).second;
    if (first && IsXmlName(id) && !otherIds.count(id)) continue;
    binaryIds[i] = fresh(id);
    if (first) renamed.emplace(id, binaryIds[i]);
    changes = true;
  }
  if (!changes) return;

  std::string out;
  out.reserve(document.size() + 64);
  size_t copied = 0;
  for (size_t i = 0; i < spots.size(); ++i) {
    const IdSpot& s = spots[i];
    const std::string_view id = document.substr(s.Begin, s.End - s.Begin);
    const std::string* replacement = nullptr;
    if (s.Binary) {
      if (!binaryIds[i].empty()) replacement = &binaryIds[i];
    } else if (const auto found = renamed.find(id); found != renamed.end()) {
      replacement = &found->second;
    }
    if (!replacement) continue;
    out.append(document.substr(copied, s.Begin - copied));
    out.append(*replacement);
    copied = s.End;
  }
  out.append(document.substr(copied));
  text = std::move(out);
}

}  // namespace engine
