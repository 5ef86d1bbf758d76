#include "engine/HTMLPars.h"

#include <algorithm>
#include <limits>

#include "engine/TextSearch.h"
#include "engine/TextUtil.h"
#include "platform/CodePage.h"

namespace engine {

THTMLItem THTMLTag::Name() const {
  const auto& raw = parser_->items_[index_];
  return parser_->ViewAt(raw.start, raw.nameLength);
}

THTMLItem THTMLTag::TagText() const {
  const auto& raw = parser_->items_[index_];
  return parser_->ViewAt(raw.start, raw.length);
}

std::string THTMLTag::LowerName() const {
  return ToLowerAscii(Name().View());
}

size_t THTMLTag::ParamCount() const {
  const auto& items = parser_->items_;
  const uint32_t next = index_ + 1 < items.size() ? items[index_ + 1].firstParam
                                                  : static_cast<uint32_t>(parser_->params_.size());
  return next - items[index_].firstParam;
}

THTMLParam THTMLTag::Param(size_t index) const {
  const auto& raw = parser_->params_[parser_->items_[index_].firstParam + index];
  return THTMLParam{parser_->ViewAt(raw.textStart, raw.textLength),
                    parser_->ViewAt(raw.nameStart, raw.nameLength),
                    parser_->ViewAt(raw.valueStart, raw.valueLength)};
}

ItemKind ItemRef::Kind() const {
  return parser_->kinds_[index_];
}

THTMLItem ItemRef::View() const {
  const auto& raw = parser_->items_[index_];
  return parser_->ViewAt(raw.start, raw.length);
}

void THTMLParser::ClearItems() {
  items_.clear();
  kinds_.clear();
  params_.clear();
  lastTagName_ = {};
}

std::string QuotedExcerpt(std::string_view text) {
  if (text.size() <= kQuotedBytes) return std::string(text);
  size_t cut = kQuotedBytes;
  bool utf8 = true;
  for (size_t pos = 0; pos < cut && utf8;) utf8 = platform::DecodeUtf8(text, pos).has_value();
  if (utf8)
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut)) + "...";
}

void THTMLParser::Report(std::string_view message, std::string_view offending) const {
  if (OnError) OnError(message, QuotedExcerpt(offending));
}

void THTMLParser::AddItem(ItemKind kind, int64_t start, int64_t length) {
  items_.push_back(RawItem{static_cast<uint32_t>(start),
                           static_cast<uint32_t>(std::max<int64_t>(length, 0)), 0,
                           static_cast<uint32_t>(params_.size())});
  kinds_.push_back(kind);
}

void THTMLParser::Parse() {
  ClearItems();
  // Views hold 32-bit lengths: a text beyond that is not tokenized at all.
  if (source_.empty() || source_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    return;
  const std::string_view src(source_);
  const int64_t n = static_cast<int64_t>(src.size());
  if (!LooksLikeHtml(src)) {
    AddItem(ItemKind::Text, 0, n);
    return;
  }

  // Real pages hold an item every 15 to 30 bytes: reserving for one in 8 spares the copies of
  // growing on big books (unused room is never touched, so it costs no memory).
  items_.reserve(src.size() / 8 + 16);
  kinds_.reserve(src.size() / 8 + 16);

  int64_t start = 0;
  int64_t end = 0;
  int64_t lastEnd = -1;
  auto emitText = [&] {
    if (start - lastEnd - 1 > 0) AddItem(ItemKind::Text, lastEnd + 1, start - lastEnd - 1);
  };

  for (;;) {
    if (src[start] == '<') {
      if (start + 1 < n && src[start + 1] == '%') {
        end = FindTextNoCase(src, "%>", start + 2);
        if (end > 0) end += 1;
      } else if (start + 3 < n && src[start + 1] == '!' && src[start + 2] == '-' &&
                 src[start + 3] == '-') {
        end = FindTextNoCase(src, "-->", start + 2);
        if (end > 0) end += 2;
      } else {
        end = FindCharOutsideQuotes(src, '>', start + 1);
      }
      if (end < 0) {
        Report("> not found", src.substr(start));
        return;
      }
      MakeItem(start, end);
      start = end;
      lastEnd = end;
      continue;
    }
    if (EqualsNoCase(lastTagName_, "script") || EqualsNoCase(lastTagName_, "style")) {
      const bool script = EqualsNoCase(lastTagName_, "script");
      start = FindTextNoCase(src, script ? "</script" : "</style", end + 1);
      if (start < 0) {
        Report(script ? "</script> not match" : "</style> not match",
               end + 1 < n ? src.substr(end + 1) : std::string_view());
        return;
      }
    } else {
      start = FindChar(src, '<', end + 1);
      if (start < 0) {
        start = n;
        emitText();
        return;
      }
    }
    emitText();
  }
}

void THTMLParser::MakeItem(int64_t start, int64_t end) {
  const int64_t length = end - start - 1;
  if (length <= 0) return;
  const std::string_view src(source_);
  if (src[start + 1] == '%') {
    AddItem(ItemKind::ServerScript, start + 2, length - 2);
  } else if (length >= 3 && src[start + 1] == '!' && src[start + 2] == '-' &&
             src[start + 3] == '-') {
    AddItem(ItemKind::Comment, start + 4, length - 5);
  } else {
    ParseTag(start + 1, length);
    const RawItem& tag = items_.back();
    lastTagName_ = src.substr(tag.start, tag.nameLength);
  }
}

void THTMLParser::ParseTag(int64_t offset, int64_t n) {
  const std::string_view t = std::string_view(source_).substr(offset, n);
  AddItem(ItemKind::Tag, offset, n);
  RawItem& tag = items_.back();
  const auto abs = [offset](int64_t rel) { return static_cast<uint32_t>(offset + rel); };
  auto addParam = [&](int64_t textFirst, int64_t textLast, int64_t nameFirst, int64_t nameLast,
                      int64_t valueFirst, int64_t valueLast) {
    const auto len = [](int64_t first, int64_t last) {
      return static_cast<uint32_t>(last >= first ? last - first + 1 : 0);
    };
    params_.push_back(RawParam{abs(textFirst), len(textFirst, textLast), abs(nameFirst),
                               len(nameFirst, nameLast), abs(valueFirst),
                               len(valueFirst, valueLast)});
  };

  const int64_t b = FindBlankOutsideQuotes(t, 0);
  if (b < 0) {
    tag.nameLength = static_cast<uint32_t>(n);
    return;
  }
  tag.nameLength = static_cast<uint32_t>(b);
  int64_t cur = b;
  for (;;) {
    cur += 1;
    const int64_t pos = SkipBlanks(t, cur);
    if (pos < 0) return;
    const int64_t eq = FindCharOutsideQuotes(t, '=', pos);
    if (eq < 0) {
      // No "=" in the rest of the tag: all of it becomes one attribute without a value.
      const int64_t last = SkipBlanksBack(t, n - 1);
      if (last < pos) return;
      addParam(cur, n - 1, pos, last, 0, -1);
      return;
    }
    int64_t vs = SkipBlanks(t, eq + 1);
    if (vs < 0) vs = n;
    int64_t ve = FindBlankOutsideQuotes(t, vs);
    if (ve < 0) ve = n;
    int64_t valueFirst = 0;
    int64_t valueLast = -1;
    if (vs < n) {
      valueFirst = IsQuote(t[vs]) ? vs + 1 : vs;
      valueLast = IsQuote(t[ve - 1]) ? ve - 2 : ve - 1;
      // The "/" that closes an XHTML tag right after a quoted value (<img src="a.png"/>) is
      // not part of the value: without this every such picture would be lost.
      if (ve == n && ve - vs >= 3 && t[ve - 1] == '/' && IsQuote(t[vs]) && t[ve - 2] == t[vs])
        valueLast = ve - 3;
    }
    const int64_t ne = SkipBlanksBack(t, eq - 1);
    if (ne < pos) {
      std::string whole;  // built step by step: GCC 12 misreads "<" + ... + ">" (-Wrestrict)
      whole.reserve(t.size() + 2);
      whole.append("<").append(t).append(">");
      Report("key not defined in tag", whole);
    } else {
      if (valueLast < valueFirst) valueFirst = 0, valueLast = -1;
      addParam(cur, ve - 1, pos, ne, valueFirst, valueLast);
    }
    cur = ve;
  }
}

}  // namespace engine
