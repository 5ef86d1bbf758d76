#include "engine/StructureRepair.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "engine/RepairText.h"
#include "engine/TextUtil.h"

namespace engine {

using namespace repair;

namespace {

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
  std::vector<std::string> Ids() const { return {ids_.begin(), ids_.end()}; }

 private:
  size_t TextUpToTag(size_t pos);
  void OnBlanks(size_t from, size_t to);
  void OnOpen(const RawTag& tag, El element);
  void OnClose(El name);

  Decision Decide(const Open& top, El x) const;
  // Makes room for x: closes and wraps until the top may hold it; returns what the top does
  // with x then (contain or drop it).
  Decision Place(El x);
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

// Handles the text from `pos` up to the next tag, which it reads into tag_ and tagEnd_, and
// returns where that tag begins (the body's size when none follows). A "<" that opens no tag is
// text; the text is made safe as AppendSafeText does it, keeping what needs no change.
size_t Repairer::TextUpToTag(size_t pos) {
  const std::string_view s = in_;
  const size_t n = s.size();
  size_t i = pos;
  while (i < n && IsBlank(s[i])) ++i;
  if (i == n || (s[i] == '<' && ReadTag(s, i, tag_, tagEnd_))) {
    if (i > pos) OnBlanks(pos, i);
    return i;
  }
  FlushAfterBody();
  Place(El::Text);
  if (InParagraphChain()) ReopenPending();
  size_t plain = pos;
  while ((i = SkipPlainText(s, i)) < n) {
    if (s[i] == '<' && ReadTag(s, i, tag_, tagEnd_)) break;
    const size_t at = i;
    if (const auto replacement = SafeReplacementAt(s, i, false)) {
      Keep(plain, at);
      Out().append(*replacement);
      plain = i;
    }
  }
  Keep(plain, i);
  return i;
}

void Repairer::Run(std::string_view body) {
  in_ = body;
  size_t pos = 0;
  while (pos < body.size()) {
    tagBegin_ = TextUpToTag(pos);
    if (tagBegin_ >= body.size()) break;
    const El element = ElementOf(tag_.Name);
    if (tag_.Closing) {
      if (element != El::Body) FlushAfterBody();
      OnClose(element);
    } else if (element != El::Unknown) {
      if (element != El::Body) FlushAfterBody();
      OnOpen(tag_, element);
      if (tag_.SelfClosing) OnClose(element);
    }
    pos = tagEnd_;
  }
  tag_ = RawTag{};  // the closings below are no tag's own
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

Decision Repairer::Place(El x) {
  pendingInsert_ = pending_.size();
  for (;;) {
    if (stack_.empty()) {
      bodyOpened_ = true;
      Push(El::Body, El::Unknown, {});
      if (x == El::Body) return {Act::Contain, x};
      continue;
    }
    const Decision d = Decide(stack_.back(), x);
    if (d.What == Act::Contain || d.What == Act::Drop) return d;
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
  const Decision d = Place(element);
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
          const std::string v = ToLowerAscii(value);
          if (v == "left" || v == "right" || v == "center") {
            out.append(" align=\"").append(v).append("\"");
          }
        } else if (a.Name == "valign" && cell) {
          const std::string v = ToLowerAscii(value);
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

}  // namespace

std::vector<std::string> AppendRepairedBody(std::string& out, std::string_view body) {
  out.reserve(out.size() + body.size() + body.size() / 16 + 256);
  Repairer repairer(out);
  repairer.Run(body);
  return repairer.Ids();
}

}  // namespace engine
