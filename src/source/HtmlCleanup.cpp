#include "source/HtmlCleanup.h"

#include "engine/Escaping.h"
#include "engine/TextUtil.h"
#include "source/OpenTags.h"
#include "source/StyleRules.h"
#include "source/TagGroups.h"

namespace source {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// One run of the cleanup: a forward pass over the items, writing into `out`.
class Cleanup {
 public:
  explicit Cleanup(size_t sourceSize) { out_.reserve(sourceSize + sourceSize / 8 + 16); }

  void Item(engine::ItemRef item);
  std::string Finish();

 private:
  void WriteTag(const engine::THTMLTag& tag, std::string_view n);
  void WriteEndTag(std::string_view n, uint8_t groups);
  void WriteOpenText(const engine::THTMLTag& tag, std::string_view n, uint8_t groups,
                     uint8_t markers);
  uint8_t ClassMarkers(const engine::THTMLTag& tag, std::string_view n) const;
  void AppendText(std::string_view run);

  std::string out_;
  std::string styleText_;
  std::string name_;  // the current tag's lower-case name, reused from tag to tag
  StyleRules rules_;
  OpenTags openTags_;
  bool inScript_ = false;
  bool inStyle_ = false;
};

void Cleanup::Item(engine::ItemRef item) {
  const engine::ItemKind kind = item.Kind();
  if (kind == engine::ItemKind::Tag) {
    const engine::THTMLTag tag = item.AsTag();
    const std::string_view raw = tag.Name().View();
    name_.resize(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) name_[i] = engine::ToLowerAscii(raw[i]);
    std::string_view n = name_;
    if (n == "script") {
      inScript_ = true;
    } else if (n == "/script") {
      inScript_ = false;
      n = {};
    }
    if (n == "style") {
      inStyle_ = true;
      styleText_.clear();
    } else if (n == "/style") {
      inStyle_ = false;
      ParseStyleSheet(rules_, styleText_);
      n = {};
    }
    if (!inScript_ && !inStyle_ && !n.empty()) WriteTag(tag, n);
    return;
  }
  if (kind != engine::ItemKind::Text) return;  // comments and server scripts are dropped
  const std::string_view text = item.View().View();
  if (text.empty()) return;
  if (inScript_ || inStyle_) {
    if (inStyle_) styleText_.append(text);
    return;
  }
  AppendText(text);
}

void Cleanup::AppendText(std::string_view run) {
  const size_t from = out_.size();
  out_.append(run);
  for (size_t i = from; i < out_.size(); ++i) {
    if (out_[i] == '\r' || out_[i] == '\n') out_[i] = ' ';
  }
}

void Cleanup::WriteTag(const engine::THTMLTag& tag, std::string_view n) {
  const uint8_t groups = TagGroups(n);
  if (n[0] == '/') {
    WriteEndTag(n, groups);
    return;
  }
  const uint8_t markers = ClassMarkers(tag, n);
  if (groups & kBreakBefore) out_.append(kLineBreak);
  WriteOpenText(tag, n, groups, markers);
  if (groups & kVoidTag) return;
  openTags_.Push(OpenTag{tag.Name().View(), markers, (groups & kWrapperTag) != 0, true});
}

// A closing tag closes the innermost element when it is the one expected, or the two innermost
// when it belongs to the second (one missing closing tag supplied). Otherwise the innermost
// element is forgotten and the closing tag written as it stands; a wrapper's is dropped.
void Cleanup::WriteEndTag(std::string_view n, uint8_t groups) {
  const std::string_view brk = (groups & kBreakBefore) ? kLineBreak : std::string_view();
  const OpenTag inner = openTags_.Pop();
  if (inner.ClosedBy(n)) {
    out_.append(brk);
    inner.AppendCloseText(out_);
  } else if (openTags_.Top().ClosedBy(n)) {
    out_.append(brk);
    inner.AppendCloseText(out_);
    const OpenTag outer = openTags_.Pop();
    out_.append(brk);
    outer.AppendCloseText(out_);
  } else if (!(groups & kWrapperTag)) {
    out_.append(brk).append("<").append(n).append(">");
  }
}

uint8_t Cleanup::ClassMarkers(const engine::THTMLTag& tag, std::string_view n) const {
  if (rules_.empty()) return kNoMarkers;
  uint8_t markers = kNoMarkers;
  const size_t count = tag.ParamCount();
  for (size_t i = 0; i < count; ++i) {
    const engine::THTMLParam param = tag.Param(i);
    if (!engine::EqualsNoCase(param.Name.View(), "class")) continue;
    if (const THTMLStyle* rule = FindStyle(rules_, n, param.Value.View())) {
      markers = static_cast<uint8_t>((rule->BoldOn.empty() ? 0 : kBold) |
                                     (rule->ItalicOn.empty() ? 0 : kItalic));
    }
  }
  return markers;
}

// A wrapper leaves only its markers. Any other tag is written in lower case with the attributes
// its group keeps, each as " " + name + "=" + quoted value after one separating blank.
void Cleanup::WriteOpenText(const engine::THTMLTag& tag, std::string_view n, uint8_t groups,
                            uint8_t markers) {
  if (!(groups & kWrapperTag)) {
    out_.append("<").append(n).append(" ");
    const bool tablePart = n == "table" || n == "tr" || n == "td";
    if (!(groups & kAttributeFreeTag) || tablePart) {
      const size_t count = tag.ParamCount();
      for (size_t i = 0; i < count; ++i) {
        const engine::THTMLParam param = tag.Param(i);
        const std::string_view name = param.Name.View();
        if (tablePart && !KeepsTableAttribute(n, name)) continue;
        out_.append(" ").append(name).append("=");
        engine::AppendQuotedAttributeValue(out_, name, param.Value.View());
      }
    }
    while (static_cast<unsigned char>(out_.back()) <= 32) out_.pop_back();  // stops at the "<"
    out_.push_back('>');
  }
  AppendOpenMarkers(out_, markers);
}

// Four line breaks in a row become two, and every "&amp;" becomes "&"; both only shrink the
// text, so one pass in place does them.
std::string Cleanup::Finish() {
  char* const text = out_.data();
  const size_t size = out_.size();
  size_t write = 0;
  size_t read = 0;
  while (read < size) {
    const char c = text[read];
    if (c == '\r' && read + 4 <= size && text[read + 1] == '\n' && text[read + 2] == '\r' &&
        text[read + 3] == '\n') {
      text[write++] = '\r';
      text[write++] = '\n';
      read += 4;
    } else if (c == '&' && read + 5 <= size &&
               engine::EqualsNoCase(std::string_view(text + read, 5), "&amp;")) {
      text[write++] = '&';
      read += 5;
    } else {
      text[write++] = c;
      ++read;
    }
  }
  out_.resize(write);
  return std::move(out_);
}

}  // namespace

std::string CleanHtml(std::string_view text, const engine::OnErrorFn& onError) {
  engine::THTMLParser parser;
  parser.OnError = onError;
  parser.Source() = engine::NormalizeLineBreaks(text);
  parser.Parse();
  Cleanup cleanup(parser.Source().size());
  for (engine::ItemRef item : parser) cleanup.Item(item);
  return cleanup.Finish();
}

}  // namespace source
