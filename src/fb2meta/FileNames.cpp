#include "fb2meta/FileNames.h"

#include "fb2meta/BookInfo.h"
#include "platform/CodePage.h"

namespace fb2meta {
namespace {

// Simple lower-case mapping for the scripts of the Windows code pages (Latin, Greek, Cyrillic).
char32_t ToLowerUnicode(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130) return 'i';
    if (c == 0x178) return 0xFF;
    bool evenUpper = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
    bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1)) return c + 1;
    return c;
  }
  if (c >= 0x386 && c <= 0x3AB) {
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 37;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 63;
    if (c >= 0x391 && c != 0x3A2) return c + 32;
    return c;
  }
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x460 && c <= 0x52F) {
    if (c == 0x4C0) return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE) return c % 2 == 1 ? c + 1 : c;
    if ((c <= 0x481 || c >= 0x48A) && c % 2 == 0) return c + 1;
  }
  return c;
}

unsigned char LowerCaseByte(unsigned char b, const platform::CodePage& codePage) {
  if (b < 0x80) return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 32) : b;
  char32_t c = codePage.CharOf(b);
  char32_t lower = ToLowerUnicode(c);
  if (lower == c) return b;
  std::optional<char> mapped = codePage.ByteOf(lower);
  return mapped ? static_cast<unsigned char>(*mapped) : b;
}

// Latin spellings of the windows-1251 bytes 224 to 255 (а to я).
constexpr const char* kCyrillicLatin[32] = {
    "a", "b", "v", "g", "d", "e", "zh", "z",  "i",  "y",  "k", "l", "m", "n", "o",  "p",
    "r", "s", "t", "u", "f", "h", "c",  "ch", "sh", "sh", "",  "y", "",  "e", "ju", "ja"};

std::string VariantTwoPart(std::string_view s, const platform::CodePage& codePage) {
  return SpacesToUnderscores(Transliterate(s, codePage));
}

}  // namespace

std::string Transliterate(std::string_view s, const platform::CodePage& codePage) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (char ch : s) {
    unsigned char b = LowerCaseByte(static_cast<unsigned char>(ch), codePage);
    if (b >= 224)
      out.append(kCyrillicLatin[b - 224]);
    else if (b == 184)
      out.push_back('e');
    else
      out.push_back(static_cast<char>(b));
  }
  return out;
}

std::string CapitalizeFirst(std::string_view s) {
  std::string out(s);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
  return out;
}

std::string CapitalizeParts(std::string_view s) {
  if (s.find('_') == std::string_view::npos) return CapitalizeFirst(s);
  std::string result;
  size_t cut;
  while ((cut = s.find('_')) != std::string_view::npos) {
    std::string_view part = s.substr(0, cut);
    s.remove_prefix(cut + 1);
    if (!result.empty()) result.push_back('_');
    result.append(CapitalizeFirst(part));
  }
  if (!s.empty()) {
    result.push_back('_');
    result.append(CapitalizeFirst(s));
  }
  return result;
}

std::string RemoveForbiddenFileChars(std::string_view s) {
  constexpr std::string_view kForbidden = "?:<>\"*\\/|";
  std::string out;
  out.reserve(s.size());
  for (char c : s)
    if (kForbidden.find(c) == std::string_view::npos) out.push_back(c);
  return out;
}

std::string SpacesToUnderscores(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == ' ') c = '_';
  return out;
}

std::array<std::string, 2> ComputeFileNames(std::string_view lastName, std::string_view firstName,
                                            std::string_view middleName, std::string_view title,
                                            const platform::CodePage& codePage) {
  std::string first;
  std::string second;
  if (lastName.empty()) {
    first = std::string(title);
    if (!title.empty()) second = CapitalizeParts(VariantTwoPart(title, codePage));
  } else {
    first = std::string(lastName);
    if (!firstName.empty()) {
      first += ' ';
      first += firstName[0];
      first += '.';
      if (!middleName.empty()) {
        first += middleName[0];
        first += '.';
      }
    } else {
      first += '.';
    }
    if (!title.empty()) {
      first += ' ';
      first.append(title);
    }

    second = CapitalizeFirst(VariantTwoPart(lastName, codePage));
    if (!firstName.empty()) {
      second += '_';
      second += CapitalizeFirst(VariantTwoPart(firstName.substr(0, 1), codePage));
      second += '.';
    }
    if (!title.empty()) {
      second += '_';
      second += CapitalizeParts(VariantTwoPart(title, codePage));
    }
  }
  std::array<std::string, 2> names;
  if (!first.empty()) names[0] = RemoveForbiddenFileChars(first + ".fb2");
  if (!second.empty()) names[1] = RemoveForbiddenFileChars(second + ".fb2");
  return names;
}

void ProposeFileNames(BookInfo& info, const platform::CodePage& codePage) {
  const PersonName& author = info.Authors[0];
  std::array<std::string, 2> names = ComputeFileNames(author.LastName, author.FirstName,
                                                      author.MiddleName, info.BookTitle, codePage);
  for (size_t i = 0; i < names.size(); ++i)
    if (!names[i].empty()) info.FileNameProposals[i] = std::move(names[i]);
}

}  // namespace fb2meta
