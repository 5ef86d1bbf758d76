#include "source/HtmlCleanup.h"

#include <cstring>

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
  void WriteTag(const engine::THTMLTag& tag, std::string_view n, uint64_t key);
  void WriteEndTag(std::string_view n, uint8_t groups);
  void WriteOpenText(const engine::THTMLTag& tag, std::string_view n, uint64_t key, uint8_t groups,
                     uint8_t markers);
  void WriteAttribute(std::string_view name, std::string_view value);
  uint8_t ClassMarkers(const engine::THTMLTag& tag, std::string_view n) const;
  void AppendText(std::string_view run);
  void AppendBreak();

  std::string out_;
  std::string styleText_;
  std::string name_;  // the current tag's lower-case name, reused from tag to tag
  StyleRules rules_;
  OpenTags openTags_;
  bool inScript_ = false;
  bool inStyle_ = false;
  // Line breaks written back to back: of a run of them every second one is left out, which is
  // what replacing each "\r\n\r\n" by "\r\n" in one pass over the result would leave.
  size_t breakRun_ = 0;
  size_t breakRunEnd_ = std::string::npos;  // the text's size after the run's last break
};

void Cleanup::Item(engine::ItemRef item) {
  const engine::ItemKind kind = item.Kind();
  if (kind == engine::ItemKind::Tag) {
    const engine::THTMLTag tag = item.AsTag();
    const std::string_view raw = tag.Name().View();
    name_.resize(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) name_[i] = engine::ToLowerAscii(raw[i]);
    std::string_view n = name_;
    const uint64_t key = NameKey(n);
    if (key == NameKey("script")) {
      inScript_ = true;
    } else if (key == NameKey("/script")) {
      inScript_ = false;
      n = {};
    }
    if (key == NameKey("style")) {
      inStyle_ = true;
      styleText_.clear();
    } else if (key == NameKey("/style")) {
      inStyle_ = false;
      ParseStyleSheet(rules_, styleText_);
      n = {};
    }
    if (!inScript_ && !inStyle_ && !n.empty()) WriteTag(tag, n, key);
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

// Line breaks in a text run become blanks. The source's breaks are all CR LF, and a run starts
// after a ">" and ends before a "<", so each LF has its CR right before it inside the run.
void Cleanup::AppendText(std::string_view run) {
  const size_t from = out_.size();
  out_.append(run);
  char* const begin = out_.data() + from;
  char* const end = out_.data() + out_.size();
  for (char* lf = begin; (lf = static_cast<char*>(std::memchr(lf, '\n', end - lf))); ++lf) {
    *lf = ' ';
    if (lf > begin && lf[-1] == '\r') lf[-1] = ' ';
  }
}

void Cleanup::AppendBreak() {
  if (out_.size() != breakRunEnd_) breakRun_ = 0;
  if (++breakRun_ % 2 == 1) out_.append(kLineBreak);
  breakRunEnd_ = out_.size();
}

void Cleanup::WriteTag(const engine::THTMLTag& tag, std::string_view n, uint64_t key) {
  const uint8_t groups = TagGroups(key);
  if (n[0] == '/') {
    WriteEndTag(n, groups);
    return;
  }
  const uint8_t markers = ClassMarkers(tag, n);
  if (groups & kBreakBefore) AppendBreak();
  WriteOpenText(tag, n, key, groups, markers);
  if (groups & kVoidTag) return;
  openTags_.Push(OpenTag{tag.Name().View(), markers, (groups & kWrapperTag) != 0, true});
}

// A closing tag closes the innermost element when it is the one expected, or the two innermost
// when it belongs to the second (one missing closing tag supplied). Otherwise the innermost
// element is forgotten and the closing tag written as it stands; a wrapper's is dropped.
void Cleanup::WriteEndTag(std::string_view n, uint8_t groups) {
  const bool brk = (groups & kBreakBefore) != 0;
  const OpenTag inner = openTags_.Pop();
  if (inner.ClosedBy(n)) {
    if (brk) AppendBreak();
    inner.AppendCloseText(out_);
  } else if (openTags_.Top().ClosedBy(n)) {
    if (brk) AppendBreak();
    inner.AppendCloseText(out_);
    const OpenTag outer = openTags_.Pop();
    if (brk) AppendBreak();
    outer.AppendCloseText(out_);
  } else if (!(groups & kWrapperTag)) {
    if (brk) AppendBreak();
    out_.append("<").append(n).append(">");
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
void Cleanup::WriteOpenText(const engine::THTMLTag& tag, std::string_view n, uint64_t key,
                            uint8_t groups, uint8_t markers) {
  if (!(groups & kWrapperTag)) {
    out_.append("<").append(n).append(" ");
    const bool tablePart = key == NameKey("table") || key == NameKey("tr") || key == NameKey("td");
    if (!(groups & kAttributeFreeTag) || tablePart) {
      const size_t count = tag.ParamCount();
      for (size_t i = 0; i < count; ++i) {
        const engine::THTMLParam param = tag.Param(i);
        const std::string_view name = param.Name.View();
        if (tablePart && !KeepsTableAttribute(key, name)) continue;
        WriteAttribute(name, param.Value.View());
      }
    }
    // Without attributes the separating blank goes. Only that blank: a name's own trailing
    // control bytes stay, or "<style\x1f>" would come out as a real style tag and the text after
    // it would be read as a style sheet.
    if (out_.back() == ' ') out_.pop_back();
    out_.push_back('>');
  }
  AppendOpenMarkers(out_, markers);
}

// " " + name + "=" + the quoted value. Line breaks occur outside the written breaks only inside
// attribute names and values; a run of them there is halved like the runs of written breaks.
void Cleanup::WriteAttribute(std::string_view name, std::string_view value) {
  const size_t from = out_.size();
  out_.append(" ").append(name).append("=");
  engine::AppendQuotedAttributeValue(out_, name, value);
  if (std::memchr(out_.data() + from, '\r', out_.size() - from) == nullptr) return;
  const std::string collapsed =
      engine::ReplaceAll(std::string_view(out_).substr(from), "\r\n\r\n", "\r\n");
  out_.resize(from);
  out_.append(collapsed);
}

// Every "&amp;", in any letter case, becomes "&". Done over the whole result, since text runs
// that dropped items separated meet in it.
std::string Cleanup::Finish() {
  char* const text = out_.data();
  const size_t size = out_.size();
  char* amp = static_cast<char*>(std::memchr(text, '&', size));
  if (!amp) return std::move(out_);
  size_t write = static_cast<size_t>(amp - text);
  size_t read = write;
  while (read < size) {
    const void* next = std::memchr(text + read, '&', size - read);
    const size_t hit = next ? static_cast<size_t>(static_cast<const char*>(next) - text) : size;
    if (write != read) std::memmove(text + write, text + read, hit - read);
    write += hit - read;
    read = hit;
    if (read == size) break;
    text[write++] = '&';
    read += (read + 5 <= size && engine::EqualsNoCase(std::string_view(text + read, 5), "&amp;"))
                ? 5
                : 1;
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
