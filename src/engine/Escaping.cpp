#include "engine/Escaping.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/TextSearch.h"
#include "engine/TextUtil.h"

namespace engine {

std::string CrLfToSpaces(std::string_view run) {
  std::string out(run);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

std::string UnescapeAmp(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '&' && i + 5 <= text.size() && EqualsNoCase(text.substr(i, 5), "&amp;")) {
      out.push_back('&');
      i += 5;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

namespace {

bool NeedsQuotes(std::string_view value) {
  for (char c : value) {
    if (IsBlank(c) || IsQuote(c) || c == '>') return true;
  }
  return false;
}

}  // namespace

void AppendQuotedAttributeValue(std::string& out, std::string_view name, std::string_view value) {
  // A backslash right before the closing quote would keep the tokenizer's quoted run open: such
  // a value goes unquoted when it can, else its last backslash is written as a reference.
  std::string_view tail;
  if (!value.empty() && value.back() == '\\') {
    if (!NeedsQuotes(value)) {
      out.append(value);
      return;
    }
    value.remove_suffix(1);
    tail = "&#92;";
  }
  const bool wantsSingle = EqualsNoCase(name, "style");
  const bool hasDouble = value.find('"') != std::string_view::npos;
  const bool hasSingle = value.find('\'') != std::string_view::npos;
  char quote = wantsSingle ? '\'' : '"';
  if (hasDouble && hasSingle) {
    const std::string_view escaped = wantsSingle ? "&#39;" : "&quot;";
    out.push_back(quote);
    size_t plain = 0;
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] != quote) continue;
      out.append(value, plain, i - plain).append(escaped);
      plain = i + 1;
    }
    out.append(value, plain, std::string_view::npos).append(tail);
    out.push_back(quote);
    return;
  }
  if ((quote == '"' && hasDouble) || (quote == '\'' && hasSingle))
    quote = quote == '"' ? '\'' : '"';
  out.push_back(quote);
  out.append(value).append(tail);
  out.push_back(quote);
}

std::string QuoteAttributeValue(std::string_view name, std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  AppendQuotedAttributeValue(out, name, value);
  return out;
}

namespace {

// Whether any of the eight bytes of `word` may need escaping: below 32, "&", "<", ">" (and '"'
// in an attribute). Exact as a whole: a false answer means the eight bytes are copied as they are.
template <bool Attribute>
inline bool MayNeedEscaping(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  const auto hasZero = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
  uint64_t found = ((word - kOnes * 0x20) & ~word & kHighs) | hasZero(word ^ (kOnes * '&')) |
                   hasZero(word ^ (kOnes * '<')) | hasZero(word ^ (kOnes * '>'));
  if (Attribute) found |= hasZero(word ^ (kOnes * '"'));
  return found != 0;
}

template <bool Attribute>
void AppendEscaped(std::string& out, std::string_view text) {
  const size_t n = text.size();
  size_t plain = 0;  // start of the run not yet copied
  size_t i = 0;
  while (i < n) {
    // Plain text eight bytes at a time; a word that may hold a byte to escape goes byte by byte.
    if (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, text.data() + i, 8);
      if (!MayNeedEscaping<Attribute>(word)) {
        i += 8;
        continue;
      }
    }
    const size_t stop = std::min(n, i + 8);
    for (; i < stop; ++i) {
      const auto b = static_cast<unsigned char>(text[i]);
      const char* replacement = nullptr;
      switch (b) {
        case '&':
          replacement = "&amp;";
          break;
        case '<':
          replacement = "&lt;";
          break;
        case '>':
          replacement = "&gt;";
          break;
        case '"':
          if (Attribute) replacement = "&quot;";
          break;
        default:
          if (IsXmlForbiddenByte(b)) replacement = "";
          break;
      }
      if (!replacement) continue;
      out.append(text, plain, i - plain);
      out.append(replacement);
      plain = i + 1;
    }
  }
  out.append(text, plain, std::string_view::npos);
}

}  // namespace

void AppendXmlText(std::string& out, std::string_view text) {
  AppendEscaped<false>(out, text);
}
void AppendXmlAttribute(std::string& out, std::string_view value) {
  AppendEscaped<true>(out, value);
}
std::string XmlEscapeAttribute(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  AppendXmlAttribute(out, value);
  return out;
}

}  // namespace engine
