#include "platform/CodePage.h"

#include <iconv.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {

namespace {

bool IsKnownCodePage(int n) {
  return n == 874 || n == 932 || n == 936 || n == 949 || n == 950 || (n >= 1250 && n <= 1258);
}

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenIconv(const std::string& to, const std::string& from) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(cd);
}

// Converts one whole string; nothing on the first byte sequence iconv cannot take.
std::optional<std::string> Convert(iconv_t cd, std::string_view in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  size_t done = 0;
  for (;;) {
    char* dst = out.data() + done;
    size_t dstLeft = out.size() - done;
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    done = out.size() - dstLeft;
    if (rc != static_cast<size_t>(-1)) {
      char* flushDst = out.data() + done;
      size_t flushLeft = out.size() - done;
      iconv(cd, nullptr, nullptr, &flushDst, &flushLeft);
      done = out.size() - flushLeft;
      break;
    }
    if (errno != E2BIG) return std::nullopt;
    out.resize(out.size() * 2);
  }
  out.resize(done);
  return out;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  size_t count;
  char32_t c;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    count = 1, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    count = 2, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    count = 3, c = b0 & 0x07, min = 0x10000;
  } else {
    return std::nullopt;
  }
  if (pos + count >= text.size()) return std::nullopt;
  for (size_t k = 1; k <= count; ++k) {
    const unsigned char b = byte(pos + k);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  pos += count + 1;
  return c;
}

CodePage::CodePage(int number)
    : number_(IsKnownCodePage(number) ? number : 1252),
      fromUnicode_(new unsigned char[kTableChars]()) {
  iconvName_ = "CP" + std::to_string(number_);
  singleByte_ = !(number_ == 932 || number_ == 936 || number_ == 949 || number_ == 950);
  IconvHandle cd = OpenIconv("UTF-32LE", iconvName_);
  for (int b = 0; b < 256; ++b) {
    char32_t c = 0xFFFD;
    if (b < 0x80) {
      c = static_cast<char32_t>(b);
    } else if (cd) {
      const char in = static_cast<char>(b);
      if (auto out = Convert(static_cast<iconv_t>(cd.get()), std::string_view(&in, 1));
          out && out->size() == 4) {
        c = static_cast<unsigned char>((*out)[0]) | (static_cast<unsigned char>((*out)[1]) << 8) |
            (static_cast<unsigned char>((*out)[2]) << 16) |
            (static_cast<char32_t>(static_cast<unsigned char>((*out)[3])) << 24);
      }
    }
    toUnicode_[b] = c;
    std::string utf8;
    AppendUtf8(utf8, c);
    toUtf8_[b][0] = static_cast<char>(utf8.size());
    for (size_t k = 0; k < utf8.size() && k < 3; ++k) toUtf8_[b][k + 1] = utf8[k];
    // The first byte of a character keeps it.
    if (b >= 0x80 && c != 0xFFFD && c < kTableChars && fromUnicode_[c] == 0)
      fromUnicode_[c] = static_cast<unsigned char>(b);
  }
}

namespace {

// The length of the run of ASCII bytes at the start of `text`, eight bytes at a time.
size_t AsciiRun(const char* text, size_t size) {
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, text + i, 8);
    if (word & 0x8080808080808080ull) break;
  }
  while (i < size && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

}  // namespace

std::string CodePage::ToUtf8(std::string_view text) const {
  if (singleByte_) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t run = AsciiRun(text.data() + pos, text.size() - pos);
      out.append(text.data() + pos, run);
      pos += run;
      // The bytes above 127 that follow, each by table.
      for (; pos < text.size() && static_cast<unsigned char>(text[pos]) >= 0x80; ++pos) {
        const std::array<char, 4>& utf8 = toUtf8_[static_cast<unsigned char>(text[pos])];
        out.append(utf8.data() + 1, static_cast<size_t>(utf8[0]));
      }
    }
    return out;
  }
  IconvHandle cd = OpenIconv("UTF-8", iconvName_);
  if (cd) {
    if (auto out = Convert(static_cast<iconv_t>(cd.get()), text)) return *out;
  }
  // Undecodable multi-byte text: keep the ASCII and mark the rest.
  std::string out;
  for (char ch : text) {
    if (static_cast<unsigned char>(ch) < 0x80) {
      out.push_back(ch);
    } else {
      AppendUtf8(out, 0xFFFD);
    }
  }
  return out;
}

std::optional<std::string> CodePage::FromUtf8(std::string_view utf8, Unmappable how) const {
  std::string out;
  out.reserve(utf8.size());
  IconvHandle cd;
  size_t pos = 0;
  while (pos < utf8.size()) {
    const size_t run = AsciiRun(utf8.data() + pos, utf8.size() - pos);
    out.append(utf8.data() + pos, run);
    pos += run;
    if (pos == utf8.size()) break;
    // Two- and three-byte characters (every character of the single-byte code pages) decoded
    // here; the rest, and anything malformed, by DecodeUtf8.
    std::optional<char32_t> c;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data()) + pos;
    const size_t left = utf8.size() - pos;
    if (p[0] >= 0xC2 && p[0] <= 0xDF && left > 1 && (p[1] & 0xC0) == 0x80) {
      c = (static_cast<char32_t>(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
      pos += 2;
    } else if ((p[0] & 0xF0) == 0xE0 && left > 2 && (p[1] & 0xC0) == 0x80 &&
               (p[2] & 0xC0) == 0x80) {
      const char32_t three = (static_cast<char32_t>(p[0] & 0x0F) << 12) |
                             (static_cast<char32_t>(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
      if (three < 0x800 || (three >= 0xD800 && three <= 0xDFFF)) return std::nullopt;
      c = three;
      pos += 3;
    } else {
      c = DecodeUtf8(utf8, pos);
    }
    if (!c) return std::nullopt;
    if (*c < kTableChars && fromUnicode_[*c] != 0) {
      out.push_back(static_cast<char>(fromUnicode_[*c]));
      continue;
    }
    if (!singleByte_) {
      if (!cd) cd = OpenIconv(iconvName_, "UTF-32LE");
      if (cd) {
        const char32_t le = *c;
        const char in[4] = {static_cast<char>(le & 0xFF), static_cast<char>((le >> 8) & 0xFF),
                            static_cast<char>((le >> 16) & 0xFF),
                            static_cast<char>((le >> 24) & 0xFF)};
        if (auto mb = Convert(static_cast<iconv_t>(cd.get()), std::string_view(in, 4))) {
          out += *mb;
          continue;
        }
      }
    }
    if (how == Unmappable::CharacterReference) {
      out += "&#" + std::to_string(static_cast<uint32_t>(*c)) + ";";
    } else {
      out.push_back('?');
    }
  }
  return out;
}

int CodePageForLocale(std::string_view locale) {
  const size_t cut = locale.find_first_of(".@");
  if (cut != std::string_view::npos) locale = locale.substr(0, cut);
  const size_t underscore = locale.find('_');
  const std::string_view lang = locale.substr(0, underscore);
  const std::string_view country =
      underscore == std::string_view::npos ? std::string_view() : locale.substr(underscore + 1);
  auto is = [&](std::initializer_list<std::string_view> names) {
    for (auto name : names) {
      if (lang == name) return true;
    }
    return false;
  };
  if (is({"ru", "uk", "be", "bg", "sr", "mk"})) return 1251;
  if (is({"cs", "pl", "hu", "sk", "sl", "hr", "ro", "sq"})) return 1250;
  if (is({"el"})) return 1253;
  if (is({"tr"})) return 1254;
  if (is({"he"})) return 1255;
  if (is({"ar", "fa"})) return 1256;
  if (is({"et", "lt", "lv"})) return 1257;
  if (is({"vi"})) return 1258;
  if (is({"th"})) return 874;
  if (is({"ja"})) return 932;
  if (is({"ko"})) return 949;
  if (lang == "zh") return (country == "TW" || country == "HK") ? 950 : 936;
  return 1252;
}

std::string_view LocaleName() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    if (const char* value = std::getenv(name); value && *value) return value;
  }
  return {};
}

int SystemCodePageNumber() {
  if (const char* forced = std::getenv("VELLUMOR_CODEPAGE"); forced && *forced) {
    const int n = std::atoi(forced);
    if (IsKnownCodePage(n)) return n;
  }
  const std::string_view locale = LocaleName();
  return locale.empty() ? 1252 : CodePageForLocale(locale);
}

}  // namespace platform
