#pragma once
// The 8-bit code page the core's text is in, and conversions between it and UTF-8. The byte
// tables come from iconv once; single-byte text converts by table both ways, and iconv is asked
// only for the characters of a multi-byte code page that take more than one byte.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What FromUtf8 writes for a character the code page lacks.
enum class Unmappable { CharacterReference, QuestionMark };

class CodePage {
 public:
  // A Windows code page number: 874, 932, 936, 949, 950, 1250-1258. Unknown numbers give 1252.
  explicit CodePage(int number);

  int Number() const { return number_; }
  // The iconv name, for example "CP1251".
  const std::string& IconvName() const { return iconvName_; }

  // The character of a byte of this code page (single-byte code pages; for a multi-byte one,
  // only the bytes that stand alone). 0xFFFD where the byte means nothing.
  char32_t CharOf(unsigned char byte) const { return toUnicode_[byte]; }
  // The byte of this character in the code page, if it has one.
  std::optional<char> ByteOf(char32_t c) const {
    if (c < 0x80) return static_cast<char>(c);
    if (c >= kTableChars || fromUnicode_[c] == 0) return std::nullopt;
    return static_cast<char>(fromUnicode_[c]);
  }
  bool IsSingleByte() const { return singleByte_; }
  // Whether a byte means a character here: false for the bytes the code page leaves undefined
  // (0x81, 0x8D, 0x8F, 0x90 and 0x9D in windows-1252, 0x98 in windows-1251), which a reader of
  // text declared in this code page rejects. Single-byte code pages only; true otherwise.
  bool Defines(unsigned char byte) const { return !singleByte_ || toUnicode_[byte] != 0xFFFD; }

  std::string ToUtf8(std::string_view text) const;
  // Nothing when `utf8` is not valid UTF-8.
  std::optional<std::string> FromUtf8(std::string_view utf8,
                                      Unmappable how = Unmappable::CharacterReference) const;

 private:
  // Every character of the single-byte code pages lies below this.
  static constexpr char32_t kTableChars = 0x10000;

  int number_;
  std::string iconvName_;
  bool singleByte_ = true;
  std::array<char32_t, 256> toUnicode_{};
  // The UTF-8 form of each byte (single-byte code pages): length, then up to three bytes.
  std::array<std::array<char, 4>, 256> toUtf8_{};
  // The byte of each character below kTableChars, 0 where the code page has none.
  std::shared_ptr<unsigned char[]> fromUnicode_;  // shared by copies
};

// The code page Windows would choose as ANSI code page for a locale name such as "ru_RU.UTF-8".
int CodePageForLocale(std::string_view locale);

// The locale the process runs in: the first of LC_ALL, LC_CTYPE and LANG that is set, or empty.
std::string_view LocaleName();

// The system code page: VELLUMOR_CODEPAGE=NNNN when set, else from LocaleName().
int SystemCodePageNumber();

// UTF-8 helpers used by the conversions.
void AppendUtf8(std::string& out, char32_t c);
// Decodes one character at `pos`, advancing it; nothing on a malformed sequence.
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos);

}  // namespace platform
