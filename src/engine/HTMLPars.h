#pragma once
// The HTML tokenizer: cuts an 8-bit HTML text into a flat list of tags, text runs, comments and
// server-script blocks. It builds no tree and checks no nesting; only `script` and `style` are
// known by name, since their bodies are raw text.
//
// Nothing is copied while tokenizing. Every item is a view into the parser's Source buffer and a
// string is made only by Text(). Loading new text into Source, or the next Parse(), invalidates
// every item, tag handle and view obtained before.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Reports malformed HTML: the message (for example "> not found") and the offending text, at
// most kQuotedBytes of it (the rest of a document can be megabytes long).
using OnErrorFn = std::function<void(std::string_view message, std::string_view offending)>;

inline constexpr size_t kQuotedBytes = 300;
// `text` cut after kQuotedBytes and ended by "..."; in UTF-8 text the cut goes back to the start
// of a character (a code-page text has no such starts).
std::string QuotedExcerpt(std::string_view text);

// A view of bytes in the parser's Source. An empty view has a null start or a length of 0.
class THTMLItem {
 public:
  THTMLItem() = default;
  THTMLItem(const char* start, int32_t length) : start_(start), length_(length) {}

  const char* Start() const { return start_; }
  int32_t Length() const { return length_; }
  std::string_view View() const {
    return (start_ && length_ > 0) ? std::string_view(start_, length_) : std::string_view();
  }
  std::string Text() const { return std::string(View()); }

 private:
  const char* start_ = nullptr;
  int32_t length_ = 0;
};

// One attribute: its source text, its name and its value (quotes removed; empty without "=").
struct THTMLParam {
  THTMLItem ParamText;
  THTMLItem Name;
  THTMLItem Value;
};

// The four kinds of item, told apart exactly.
enum class ItemKind : uint8_t { Tag, Text, Comment, ServerScript };

class THTMLParser;

// A tag: its name as written (with the "/" of a closing tag), every byte between "<" and ">",
// and its attributes in source order. A light handle into the parser.
class THTMLTag {
 public:
  THTMLItem Name() const;
  THTMLItem TagText() const;
  std::string LowerName() const;
  size_t ParamCount() const;
  THTMLParam Param(size_t index) const;

 private:
  friend class THTMLParser;
  friend class ItemRef;
  THTMLTag(const THTMLParser* parser, uint32_t index) : parser_(parser), index_(index) {}
  const THTMLParser* parser_;
  uint32_t index_;
};

// One entry of Items.
class ItemRef {
 public:
  ItemKind Kind() const;
  bool IsTag() const { return Kind() == ItemKind::Tag; }
  bool IsText() const { return Kind() == ItemKind::Text; }
  // The viewed bytes: for a tag, its TagText.
  THTMLItem View() const;
  std::string Text() const { return View().Text(); }
  THTMLTag AsTag() const { return THTMLTag(parser_, index_); }

 private:
  friend class THTMLParser;
  ItemRef(const THTMLParser* parser, uint32_t index) : parser_(parser), index_(index) {}
  const THTMLParser* parser_;
  uint32_t index_;
};

class THTMLParser {
 public:
  // Called for every complaint when assigned; tokenizing then goes on or stops as documented.
  OnErrorFn OnError;

  // The text to tokenize: the caller empties it and loads the text before Parse().
  std::string& Source() { return source_; }
  const std::string& Source() const { return source_; }

  // Tokenizes the whole of Source into Items, freeing the previous items first.
  void Parse();
  void ClearItems();

  size_t Count() const { return kinds_.size(); }
  ItemRef Item(size_t index) const { return ItemRef(this, static_cast<uint32_t>(index)); }
  ItemRef operator[](size_t index) const { return Item(index); }

  // The name of the most recent tag item made.
  std::string_view LastTagName() const { return lastTagName_; }

  class iterator {
   public:
    using value_type = ItemRef;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    iterator(const THTMLParser* parser, uint32_t index) : parser_(parser), index_(index) {}
    ItemRef operator*() const { return parser_->Item(index_); }
    iterator& operator++() {
      ++index_;
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++index_;
      return old;
    }
    bool operator==(const iterator& other) const { return index_ == other.index_; }

   private:
    const THTMLParser* parser_ = nullptr;
    uint32_t index_ = 0;
  };
  iterator begin() const { return iterator(this, 0); }
  iterator end() const { return iterator(this, static_cast<uint32_t>(Count())); }

 private:
  friend class THTMLTag;
  friend class ItemRef;

  // Compact storage: offsets into Source. A tag's parameters are params_[firstParam] up to the
  // next item's firstParam.
  struct RawItem {
    uint32_t start;
    uint32_t length;
    uint32_t nameLength;
    uint32_t firstParam;
  };
  struct RawParam {
    uint32_t textStart, textLength;
    uint32_t nameStart, nameLength;
    uint32_t valueStart, valueLength;
  };

  void AddItem(ItemKind kind, int64_t start, int64_t length);
  void MakeItem(int64_t start, int64_t end);
  void ParseTag(int64_t start, int64_t length);
  void Report(std::string_view message, std::string_view offending) const;
  THTMLItem ViewAt(uint32_t start, uint32_t length) const {
    return THTMLItem(source_.data() + start, static_cast<int32_t>(length));
  }

  std::string source_;
  std::vector<RawItem> items_;
  std::vector<ItemKind> kinds_;
  std::vector<RawParam> params_;
  std::string_view lastTagName_;
};

}  // namespace engine
