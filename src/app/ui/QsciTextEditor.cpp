#include "app/ui/QsciTextEditor.h"

#include <Qsci/qsciscintilla.h>
#include <iconv.h>

#include <QPointer>
#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/CodePage.h"

namespace app::ui {

namespace {

using Sci = QsciScintillaBase;

// Bytes a code page leaves undefined are shown as these private-use characters (U+F780 to
// U+F7FF for the bytes 0x80 to 0xFF), which no code page here uses, and turned back into the
// byte they stand for.
constexpr char32_t kUndefinedByteBase = 0xF700;

// Above this much UTF-8 a change runs with word wrap off.
constexpr size_t kBigChange = 64 * 1024;

// What NextUtf8 gives for a byte that starts no valid sequence; it stands for one "?".
constexpr char32_t kInvalidUtf8 = 0x110000;

// One character of (nearly always valid) UTF-8 at `p`.
struct Utf8Char {
  char32_t Code;
  size_t Size;
};

Utf8Char NextUtf8(const unsigned char* p, const unsigned char* end) {
  const unsigned char b0 = p[0];
  if (b0 < 0x80) return {b0, 1};
  const auto continuation = [&](size_t k) { return p + k < end && (p[k] & 0xC0) == 0x80; };
  if (b0 >= 0xC2 && b0 < 0xE0 && continuation(1))
    return {static_cast<char32_t>(((b0 & 0x1F) << 6) | (p[1] & 0x3F)), 2};
  if (b0 >= 0xE0 && b0 < 0xF0 && continuation(1) && continuation(2)) {
    const char32_t c = ((b0 & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) return {c, 3};
  }
  if (b0 >= 0xF0 && b0 < 0xF5 && continuation(1) && continuation(2) && continuation(3)) {
    const char32_t c =
        ((b0 & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
    if (c >= 0x10000 && c <= 0x10FFFF) return {c, 4};
  }
  return {kInvalidUtf8, 1};
}

// Writes the UTF-8 of c to out (room for four bytes) and returns how many bytes it took.
size_t EncodeUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

const unsigned char* Bytes(std::string_view text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

// "&#N;": what a character the code page lacks becomes.
std::string CharacterReference(char32_t c) {
  return "&#" + std::to_string(static_cast<uint32_t>(c)) + ";";
}

// The one character two bytes of a multi-byte code page mean, or 0.
char32_t DecodePair(iconv_t cd, unsigned char lead, unsigned char trail) {
  char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  unsigned char out[8];
  char* src = in;
  size_t srcLeft = 2;
  char* dst = reinterpret_cast<char*>(out);
  size_t dstLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0 ||
      dstLeft != 4)
    return 0;
  return out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
}

// The bytes iconv writes for one character, or 0 when none or more than two.
uint16_t EncodeChar(iconv_t cd, char32_t c) {
  char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                static_cast<char>((c >> 16) & 0xFF), static_cast<char>(c >> 24)};
  unsigned char out[4];
  char* src = in;
  size_t srcLeft = 4;
  char* dst = reinterpret_cast<char*>(out);
  size_t dstLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return 0;
  const size_t written = sizeof out - dstLeft;
  if (written == 1) return out[0];
  if (written == 2) return static_cast<uint16_t>((out[0] << 8) | out[1]);
  return 0;
}

}  // namespace

// How the bytes of one code page become the widget's UTF-8 and come back. Both directions go
// through tables: a byte (or, in a multi-byte code page, a lead and a trail byte) to a character,
// and every character of the Basic Multilingual Plane to its bytes.
class EditorCodec {
 public:
  explicit EditorCodec(int codePageNumber) {
    const platform::CodePage codePage(codePageNumber);
    number_ = codePage.Number();
    singleByte_ = codePage.IsSingleByte();
    codes_.assign(0x10000, 0);
    for (int b = 0; b < 256; ++b) {
      const char32_t c = codePage.CharOf(static_cast<unsigned char>(b));
      single_[b] = c == 0xFFFD ? kUndefinedByteBase + static_cast<char32_t>(b) : c;
      lead_[b] = !singleByte_ && b >= 0x81 && b <= 0xFE && c == 0xFFFD;
    }
    if (!singleByte_) AddPairs(codePage.IconvName());
    // Single bytes after the pairs: a byte that both stands alone and shares its character with
    // a pair keeps the character for itself.
    for (int b = 0x80; b < 256; ++b)
      if (single_[b] < 0x10000) codes_[single_[b]] = static_cast<uint16_t>(b);
    for (int b = 0; b < 256; ++b)
      singleSize_[b] = static_cast<unsigned char>(EncodeUtf8(single_[b], singleUtf8_[b].data()));
  }

  int Number() const { return number_; }
  bool SingleByte() const { return singleByte_; }

  // The code-page bytes of a character: a byte, lead << 8 | trail, or 0 when the code page lacks
  // it (NUL is ASCII and never asked for).
  uint16_t Code(char32_t c) const {
    if (c < 0x80) return static_cast<uint16_t>(c);
    return c < 0x10000 ? codes_[c] : 0;
  }
  bool Lacks(char32_t c) const { return c >= 0x80 && Code(c) == 0; }

  // How many code-page bytes a character of the widget stands for.
  size_t ByteLength(char32_t c) const {
    const uint16_t code = Code(c);
    if (c < 0x80 || c == kInvalidUtf8 || (code != 0 && code < 0x100)) return 1;
    if (code != 0) return 2;
    return CharacterReference(c).size();
  }

  std::string ToUtf8(std::string_view bytes) const {
    std::string out(bytes.size() * 3, '\0');
    char* w = out.data();
    const unsigned char* p = Bytes(bytes);
    const unsigned char* end = p + bytes.size();
    while (p < end) {
      const unsigned char b = *p;
      if (b < 0x80) {
        *w++ = static_cast<char>(b);
        ++p;
        continue;
      }
      if (lead_[b] && p + 1 < end) {
        if (const char32_t c = pairs_[(b << 8) | p[1]]; c != 0) {
          w += EncodeUtf8(c, w);
          p += 2;
          continue;
        }
      }
      w = std::copy_n(singleUtf8_[b].data(), singleSize_[b], w);
      ++p;
    }
    out.resize(static_cast<size_t>(w - out.data()));
    return out;
  }

  // `lacked`, when given, tells whether some character had to become "&#N;".
  std::string FromUtf8(std::string_view utf8, bool* lacked = nullptr) const {
    // A character the code page has takes no more bytes than its UTF-8.
    std::string out(utf8.size(), '\0');
    size_t w = 0;
    const unsigned char* p = Bytes(utf8);
    const unsigned char* end = p + utf8.size();
    while (p < end) {
      if (*p < 0x80) {
        out[w++] = static_cast<char>(*p++);
        continue;
      }
      const Utf8Char ch = NextUtf8(p, end);
      p += ch.Size;
      const uint16_t code = Code(ch.Code);
      if (code != 0 && code < 0x100) {
        out[w++] = static_cast<char>(code);
      } else if (code != 0) {
        out[w++] = static_cast<char>(code >> 8);
        out[w++] = static_cast<char>(code & 0xFF);
      } else {
        if (lacked) *lacked = true;
        const std::string reference =
            ch.Code == kInvalidUtf8 ? std::string("?") : CharacterReference(ch.Code);
        // Keeps room for the rest, which takes at most its own size unless it lacks more.
        const size_t needed = w + reference.size() + static_cast<size_t>(end - p);
        if (needed > out.size()) out.resize(needed + out.size() / 8);
        std::copy(reference.begin(), reference.end(), out.begin() + static_cast<ptrdiff_t>(w));
        w += reference.size();
      }
    }
    out.resize(w);
    return out;
  }

 private:
  void AddPairs(const std::string& iconvName) {
    pairs_.assign(0x10000, 0);
    iconv_t decode = iconv_open("UTF-32LE", iconvName.c_str());
    iconv_t encode = iconv_open(iconvName.c_str(), "UTF-32LE");
    if (decode == reinterpret_cast<iconv_t>(-1) || encode == reinterpret_cast<iconv_t>(-1)) {
      if (decode != reinterpret_cast<iconv_t>(-1)) iconv_close(decode);
      if (encode != reinterpret_cast<iconv_t>(-1)) iconv_close(encode);
      std::fill(lead_.begin(), lead_.end(), false);
      return;
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      if (!lead_[lead]) continue;
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const uint16_t code = static_cast<uint16_t>((lead << 8) | trail);
        const char32_t c =
            DecodePair(decode, static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
        if (c == 0 || c >= 0x10000) continue;
        pairs_[code] = c;
        // Where two byte pairs mean one character, the pair iconv writes for it wins.
        if (codes_[c] == 0)
          codes_[c] = code;
        else if (EncodeChar(encode, c) == code)
          codes_[c] = code;
      }
    }
    iconv_close(decode);
    iconv_close(encode);
  }

  int number_ = 1252;
  bool singleByte_ = true;
  std::array<char32_t, 256> single_{};
  std::array<std::array<char, 4>, 256> singleUtf8_{};
  std::array<unsigned char, 256> singleSize_{};
  std::array<bool, 256> lead_{};
  std::vector<char32_t> pairs_;  // lead << 8 | trail -> character, 0 for none
  std::vector<uint16_t> codes_;  // character -> its bytes, 0 for none
};

namespace {

// Switches word wrap off for the life of a big change and back on after it.
class WrapPause {
 public:
  WrapPause(QsciScintilla& widget, bool big) : widget_(widget) {
    if (big) mode_ = widget_.SendScintilla(Sci::SCI_GETWRAPMODE);
    if (mode_ != Sci::SC_WRAP_NONE) widget_.SendScintilla(Sci::SCI_SETWRAPMODE, Sci::SC_WRAP_NONE);
  }
  ~WrapPause() {
    if (mode_ != Sci::SC_WRAP_NONE) widget_.SendScintilla(Sci::SCI_SETWRAPMODE, mode_);
  }
  WrapPause(const WrapPause&) = delete;
  WrapPause& operator=(const WrapPause&) = delete;

 private:
  QsciScintilla& widget_;
  long mode_ = Sci::SC_WRAP_NONE;
};

// Runs a change of the adapter's own without the notifications of each insert and delete: on
// every one of them QScintilla counts the characters from the start of the text up to the
// change to tell accessibility tools where it is, tens of milliseconds in a long book. The
// adapter's own text needs no watching (it is all characters of the code page); listeners of
// the widget get textChanged() and linesChanged() once afterwards.
class QuietChange {
 public:
  explicit QuietChange(QsciScintilla& widget)
      : widget_(widget),
        mask_(widget.SendScintilla(Sci::SCI_GETMODEVENTMASK)),
        lines_(widget.SendScintilla(Sci::SCI_GETLINECOUNT)) {
    widget_.SendScintilla(Sci::SCI_SETMODEVENTMASK, 0ul);
  }
  ~QuietChange() {
    widget_.SendScintilla(Sci::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask_));
    emit widget_.textChanged();
    if (widget_.SendScintilla(Sci::SCI_GETLINECOUNT) != lines_) emit widget_.linesChanged();
  }
  QuietChange(const QuietChange&) = delete;
  QuietChange& operator=(const QuietChange&) = delete;

 private:
  QsciScintilla& widget_;
  long mask_;
  long lines_;
};

}  // namespace

QsciTextEditor::QsciTextEditor(QsciScintilla& widget, int codePageNumber)
    : widget_(widget), codec_(std::make_unique<EditorCodec>(codePageNumber)) {
  widget_.setUtf8(true);
  Send(Sci::SCI_ALLOCATELINECHARACTERINDEX, Sci::SC_LINECHARACTERINDEX_UTF32);
  Send(Sci::SCI_SETEOLMODE, Sci::SC_EOL_CRLF);
  // Text already in the widget came from elsewhere: check it before trusting the line index.
  maybeUnmappable_ = Send(Sci::SCI_GETLENGTH) > 0;
  watch_ = QObject::connect(&widget_, &QsciScintillaBase::SCN_MODIFIED, &widget_,
                            [this](int, int modificationType, const char* text, int length) {
                              Watch(modificationType, text, length);
                            });
  guard_ = &widget_;
}

QsciTextEditor::~QsciTextEditor() {
  QObject::disconnect(watch_);
  if (guard_) Send(Sci::SCI_RELEASELINECHARACTERINDEX, Sci::SC_LINECHARACTERINDEX_UTF32);
}

long QsciTextEditor::Send(unsigned int message, unsigned long wParam, long lParam) const {
  return widget_.SendScintilla(message, wParam, lParam);
}

void QsciTextEditor::SetCodePage(int codePageNumber) {
  auto next = std::make_unique<EditorCodec>(codePageNumber);
  if (next->Number() == codec_->Number()) return;
  const std::string bytes = Text();
  const size_t start = SelectionStart();
  const size_t length = SelectionLength();
  const long firstLine = Send(Sci::SCI_DOCLINEFROMVISIBLE, Send(Sci::SCI_GETFIRSTVISIBLELINE));
  codec_ = std::move(next);
  Load(bytes);
  Select(start, length);
  Send(Sci::SCI_SETFIRSTVISIBLELINE, Send(Sci::SCI_VISIBLEFROMDOCLINE, firstLine));
}

int QsciTextEditor::CodePage() const {
  return codec_->Number();
}

std::string_view QsciTextEditor::Utf8Text() const {
  const auto* text =
      static_cast<const char*>(widget_.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
  const auto length = static_cast<size_t>(Send(Sci::SCI_GETLENGTH));
  return text ? std::string_view(text, length) : std::string_view();
}

std::string_view QsciTextEditor::Utf8Range(size_t start, size_t end) const {
  if (end <= start) return {};
  const auto* text = reinterpret_cast<const char*>(
      Send(Sci::SCI_GETRANGEPOINTER, start, static_cast<long>(end - start)));
  return text ? std::string_view(text, end - start) : std::string_view();
}

std::string QsciTextEditor::Text() const {
  bool lacked = false;
  std::string text = codec_->FromUtf8(Utf8Text(), &lacked);
  if (!lacked) maybeUnmappable_ = false;
  return text;
}

void QsciTextEditor::ReplaceRange(size_t start, size_t end, std::string_view utf8) {
  Send(Sci::SCI_SETTARGETRANGE, start, static_cast<long>(end));
  widget_.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(utf8.size()), utf8.data());
}

void QsciTextEditor::Load(std::string_view text) {
  const std::string utf8 = codec_->ToUtf8(text);
  {
    const WrapPause pause(widget_, true);
    const QuietChange quiet(widget_);
    Send(Sci::SCI_SETUNDOCOLLECTION, 0);
    Send(Sci::SCI_CLEARALL);
    widget_.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.data());
    Send(Sci::SCI_SETUNDOCOLLECTION, 1);
    Send(Sci::SCI_EMPTYUNDOBUFFER);
    Send(Sci::SCI_SETSAVEPOINT);
  }
  maybeUnmappable_ = false;
  Send(Sci::SCI_GOTOPOS, 0);
}

void QsciTextEditor::Clear() {
  Load({});
}

void QsciTextEditor::SetText(std::string_view text) {
  const std::string utf8 = codec_->ToUtf8(text);
  {
    const WrapPause pause(widget_, true);
    const QuietChange quiet(widget_);
    Send(Sci::SCI_BEGINUNDOACTION);
    ReplaceRange(0, static_cast<size_t>(Send(Sci::SCI_GETLENGTH)), utf8);
    Send(Sci::SCI_ENDUNDOACTION);
  }
  maybeUnmappable_ = false;
  Send(Sci::SCI_GOTOPOS, 0);
}

size_t QsciTextEditor::LineCount() const {
  if (Send(Sci::SCI_GETLENGTH) == 0) return 0;
  return static_cast<size_t>(Send(Sci::SCI_GETLINECOUNT));
}

std::vector<std::string> QsciTextEditor::Lines() const {
  return SplitLines(Text());
}

void QsciTextEditor::SetLineBreakStyle(LineBreak style) {
  lineBreak_ = style;
  Send(Sci::SCI_SETEOLMODE, style == LineBreak::Lf   ? Sci::SC_EOL_LF
                            : style == LineBreak::Cr ? Sci::SC_EOL_CR
                                                     : Sci::SC_EOL_CRLF);
}

bool QsciTextEditor::OneBytePerCharacter() const {
  return codec_->SingleByte() && !maybeUnmappable_;
}

QsciTextEditor::Range QsciTextEditor::PositionsOf(size_t start, size_t end) const {
  const auto length = static_cast<size_t>(Send(Sci::SCI_GETLENGTH));
  if (OneBytePerCharacter()) {
    constexpr long kIndex = Sci::SC_LINECHARACTERINDEX_UTF32;
    // The line holding a character, then the character inside the line.
    const auto position = [&](size_t offset) {
      const long line = Send(Sci::SCI_LINEFROMINDEXPOSITION, offset, kIndex);
      const auto lineIndex =
          static_cast<size_t>(Send(Sci::SCI_INDEXPOSITIONFROMLINE, line, kIndex));
      const long lineStart = Send(Sci::SCI_POSITIONFROMLINE, line);
      if (offset <= lineIndex) return static_cast<size_t>(lineStart);
      return static_cast<size_t>(Send(Sci::SCI_POSITIONRELATIVE,
                                      static_cast<unsigned long>(lineStart),
                                      static_cast<long>(offset - lineIndex)));
    };
    const size_t count = OffsetOfPosition(length);
    start = std::min(start, count);
    end = std::min(end, count);
    return {start == count ? length : position(start), end == count ? length : position(end)};
  }
  // Walk the characters, counting the bytes each stands for.
  const std::string_view text = Utf8Text();
  const unsigned char* begin = Bytes(text);
  const unsigned char* end8 = begin + text.size();
  Range range{length, length};
  bool startFound = false;
  size_t bytes = 0;
  for (const unsigned char* p = begin; p < end8;) {
    const Utf8Char ch = NextUtf8(p, end8);
    const size_t next = bytes + codec_->ByteLength(ch.Code);
    if (!startFound && next > start) {
      range.Start = static_cast<size_t>(p - begin);
      startFound = true;
    }
    if (startFound && bytes >= end) {
      range.End = static_cast<size_t>(p - begin);
      break;
    }
    bytes = next;
    p += ch.Size;
  }
  if (end <= start) range.End = range.Start;
  return range;
}

size_t QsciTextEditor::OffsetOfPosition(size_t position) const {
  if (OneBytePerCharacter()) {
    constexpr long kIndex = Sci::SC_LINECHARACTERINDEX_UTF32;
    const long line = Send(Sci::SCI_LINEFROMPOSITION, position);
    const auto lineIndex = static_cast<size_t>(Send(Sci::SCI_INDEXPOSITIONFROMLINE, line, kIndex));
    const long lineStart = Send(Sci::SCI_POSITIONFROMLINE, line);
    return lineIndex +
           static_cast<size_t>(Send(Sci::SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineStart),
                                    static_cast<long>(position)));
  }
  const std::string_view text = Utf8Text().substr(0, position);
  const unsigned char* end = Bytes(text) + text.size();
  size_t bytes = 0;
  for (const unsigned char* p = Bytes(text); p < end;) {
    const Utf8Char ch = NextUtf8(p, end);
    bytes += codec_->ByteLength(ch.Code);
    p += ch.Size;
  }
  return bytes;
}

QsciTextEditor::Range QsciTextEditor::SelectionPositions() const {
  return {static_cast<size_t>(Send(Sci::SCI_GETSELECTIONSTART)),
          static_cast<size_t>(Send(Sci::SCI_GETSELECTIONEND))};
}

size_t QsciTextEditor::SelectionStart() const {
  return OffsetOfPosition(SelectionPositions().Start);
}

size_t QsciTextEditor::SelectionLength() const {
  const Range selection = SelectionPositions();
  if (OneBytePerCharacter())
    return static_cast<size_t>(
        Send(Sci::SCI_COUNTCHARACTERS, selection.Start, static_cast<long>(selection.End)));
  return codec_->FromUtf8(Utf8Range(selection.Start, selection.End)).size();
}

std::string QsciTextEditor::SelectedText() const {
  const Range selection = SelectionPositions();
  return codec_->FromUtf8(Utf8Range(selection.Start, selection.End));
}

void QsciTextEditor::Select(size_t start, size_t length) {
  const size_t end = length > SIZE_MAX - start ? SIZE_MAX : start + length;
  const Range range = PositionsOf(start, end);
  Send(Sci::SCI_SETSEL, range.Start, static_cast<long>(range.End));
}

void QsciTextEditor::ReplaceSelection(std::string_view text) {
  const std::string utf8 = codec_->ToUtf8(text);
  const Range selection = SelectionPositions();
  {
    const WrapPause pause(widget_, utf8.size() + (selection.End - selection.Start) > kBigChange);
    const QuietChange quiet(widget_);
    Send(Sci::SCI_BEGINUNDOACTION);
    ReplaceRange(selection.Start, selection.End, utf8);
    Send(Sci::SCI_ENDUNDOACTION);
  }
  Send(Sci::SCI_GOTOPOS, selection.Start + utf8.size());
}

bool QsciTextEditor::CanUndo() const {
  return Send(Sci::SCI_CANUNDO) != 0;
}

void QsciTextEditor::Undo() {
  // As the Edit menu's undo: the widget reports what comes back, and Watch() checks it.
  Send(Sci::SCI_UNDO);
}

void QsciTextEditor::Watch(int modificationType, const char* text, int length) {
  // Text typed, pasted or brought back by undo and redo; the adapter's own changes are quiet.
  if (!(modificationType & Sci::SC_MOD_INSERTTEXT) || maybeUnmappable_ || !codec_->SingleByte() ||
      length <= 0)
    return;
  if (!text) {
    maybeUnmappable_ = true;
    return;
  }
  const std::string_view inserted(text, static_cast<size_t>(length));
  const unsigned char* end = Bytes(inserted) + inserted.size();
  for (const unsigned char* p = Bytes(inserted); p < end;) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const Utf8Char ch = NextUtf8(p, end);
    if (codec_->Lacks(ch.Code)) {
      maybeUnmappable_ = true;
      return;
    }
    p += ch.Size;
  }
}

}  // namespace app::ui
