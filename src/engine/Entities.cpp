#include "engine/Entities.h"

#include <algorithm>
#include <cstddef>

#include "engine/Escaping.h"
#include "platform/CodePage.h"

namespace engine {

namespace {

struct NamedEntity {
  std::string_view Name;
  char32_t First;
  char32_t Second;  // 0 for the names that stand for one character
};

#include "engine/EntityTable.inc"

constexpr bool IsSortedByName() {
  for (size_t i = 1; i < std::size(kNamedEntities); ++i) {
    if (!(kNamedEntities[i - 1].Name < kNamedEntities[i].Name)) return false;
  }
  return true;
}
static_assert(IsSortedByName(), "the entity table must be sorted by name bytes");

// The characters XML 1.0 allows.
bool IsXmlChar(char32_t c) {
  if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

// Numeric references to 0x80-0x9F name the windows-1252 characters of those bytes, as browsers
// read them (a page's &#150; is an en dash, not a control character).
constexpr char32_t kC1Remap[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#NNN", "#xHHH" or "#XHHH" naming a character XML allows.
bool DecodeNumeric(std::string_view name, char32_t& c) {
  if (name.size() < 2 || name[0] != '#') return false;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return false;
  uint32_t value = 0;
  for (char d : digits) {
    const int v = DigitValue(d, hex);
    if (v < 0) return false;
    value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(v);
    if (value > 0x10FFFF) return false;  // also keeps the sum from overflowing
  }
  c = value;
  if (c >= 0x80 && c <= 0x9F) c = kC1Remap[c - 0x80];
  return IsXmlChar(c);
}

// What a closed entity name stands for.
struct Decoded {
  enum Kind { Unknown, Nothing, Chars } What = Unknown;
  char32_t First = 0;
  char32_t Second = 0;
};

Decoded Lookup(std::string_view name) {
  // The rows that differ from the HTML meaning: a plain space, a plain hyphen, no soft hyphen.
  if (name == "nbsp") return {Decoded::Chars, ' ', 0};
  if (name == "#8209") return {Decoded::Chars, '-', 0};
  if (name == "shy") return {Decoded::Nothing};
  if (name.empty()) return {};
  if (name[0] == '#') {
    char32_t c;
    if (DecodeNumeric(name, c)) return {Decoded::Chars, c, 0};
    return {};
  }
  if (name.size() > kLongestEntityName) return {};
  const auto* end = std::end(kNamedEntities);
  const auto* it =
      std::lower_bound(std::begin(kNamedEntities), end, name,
                       [](const NamedEntity& e, std::string_view n) { return e.Name < n; });
  if (it == end || it->Name != name) return {};
  return {Decoded::Chars, it->First, it->Second};
}

enum class Mode {
  Xml,    // body text: XML-escaped, unknown names kept as visible text
  Table,  // table text for the renderer: raw bytes, unknown names removed
};

void AppendChar(std::string& out, char32_t c, Mode mode, const platform::CodePage& cp) {
  if (const std::optional<char> byte = cp.ByteOf(c)) {
    if (mode == Mode::Xml) {
      AppendXmlText(out, std::string_view(&*byte, 1));
    } else {
      out.push_back(*byte);
    }
    return;
  }
  out.append("&#").append(std::to_string(static_cast<uint32_t>(c))).push_back(';');
}

void AppendPlain(std::string& out, std::string_view text, Mode mode) {
  if (mode == Mode::Xml) {
    AppendXmlText(out, text);
  } else {
    out.append(text);
  }
}

// Ends an entity name: ";" closes it, "&" opens the next one, and "<", space, "," and "."
// abandon it.
bool EndsName(char c) {
  return c == ';' || c == '&' || c == '<' || c == ' ' || c == ',' || c == '.';
}

// One pass from left to right. An "&" whose name is closed by ";" and known is replaced by what
// it stands for; every other "&" is written as text ("&amp;" in XML) and the bytes after it are
// read again as ordinary text, which gives exactly the abandoned, unclosed and unknown forms.
void Decode(std::string& out, std::string_view run, Mode mode, const platform::CodePage& cp) {
  size_t i = 0;
  while (i < run.size()) {
    const size_t amp = run.find('&', i);
    if (amp == std::string_view::npos) {
      AppendPlain(out, run.substr(i), mode);
      return;
    }
    AppendPlain(out, run.substr(i, amp - i), mode);
    size_t end = amp + 1;
    while (end < run.size() && !EndsName(run[end])) ++end;
    if (end < run.size() && run[end] == ';') {
      const Decoded d = Lookup(run.substr(amp + 1, end - amp - 1));
      if (d.What != Decoded::Unknown || mode == Mode::Table) {
        if (d.What == Decoded::Chars) {
          AppendChar(out, d.First, mode, cp);
          if (d.Second) AppendChar(out, d.Second, mode, cp);
        }
        i = end + 1;
        continue;
      }
    }
    out.append(mode == Mode::Xml ? "&amp;" : "&");
    i = amp + 1;
  }
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\xA0';
}

}  // namespace

void AppendDecodedEntities(std::string& out, std::string_view run, const platform::CodePage& cp) {
  Decode(out, run, Mode::Xml, cp);
}

std::string DecodeEntities(std::string_view run, const platform::CodePage& cp) {
  std::string out;
  out.reserve(run.size());
  AppendDecodedEntities(out, run, cp);
  return out;
}

std::string DecodeTableEntities(std::string_view run, const platform::CodePage& cp) {
  std::string out;
  out.reserve(run.size());
  Decode(out, run, Mode::Table, cp);
  return out;
}

void CollapseBlanksInPlace(std::string& text) {
  // One branch-free pass: every byte is written, and the write position moves on unless the
  // byte is a blank after a blank of the input.
  char* const data = text.data();
  const size_t size = text.size();
  size_t w = 0;
  bool previousBlank = false;
  for (size_t r = 0; r < size; ++r) {
    const char c = data[r];
    const bool blank = IsBlank(c);
    data[w] = c;
    w += static_cast<size_t>(!(blank && previousBlank));
    previousBlank = blank;
  }
  text.resize(w);
}

std::string CollapseBlanks(std::string_view text) {
  std::string out(text);
  CollapseBlanksInPlace(out);
  return out;
}

}  // namespace engine
