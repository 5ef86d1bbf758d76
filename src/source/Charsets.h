#pragma once
// The character-set choice and the output encoding of the FB2 text.
//
// A character set is a Windows font character-set number (204 = "RUSSIAN_CHARSET"). It decides
// the script the editors show and the encoding name the FB2 declaration carries; the text itself
// always stays in the system code page.

#include <cstdint>
#include <string>
#include <string_view>

namespace source {

// Held by the session, one instance.
struct EncodingState {
  std::string SystemCodePageName;  // CodePageName of the system code page, at most 20 characters
  uint16_t CurrentCharset = 0;     // the character set last applied
  bool ApplyingCharset = false;    // ApplyCharset is running: list changes are ignored
  bool SwitchingEncoding = false;  // SetUtfOutput is running: toggle clicks are ignored
  uint16_t FontCharset = 0;        // the font character set given to the text fields
  bool Utf8TogglePressed = false;  // the "utf-8" toolbar toggle
};

// The number of a character-set name ("RUSSIAN_CHARSET" gives 204); names match exactly, any
// other name gives 1 ("DEFAULT_CHARSET").
int CharsetNumber(std::string_view name);

// The encoding name written into FB2 files for a character set; character sets without a name of
// their own (0, 1, 2, 255 and numbers outside the table) give `systemCodePageName`.
std::string EncodingName(int charset, std::string_view systemCodePageName);

// The character set of an encoding name: the system code page's name gives 1, the names of the
// table give their first character set, anything else 1.
int CharsetFromEncoding(std::string_view name, std::string_view systemCodePageName);

// "windows-1251" for 1251 and the other windows-125x, 874, 932, 949 and 950; "gb2312" for 936;
// "mac-cyrillic-2000" for 77; empty for every other number.
std::string CodePageName(int codePage);

// The SystemCodePageName of a system code page: its CodePageName cut to 20 characters, and the
// name of 1252 for a code page without a name, so a declaration never reads encoding="".
std::string SystemCodePageNameFor(int codePage);

// encoding="utf-8" when `utf`, else encoding="<EncodingName of charset>".
std::string EncodingAttribute(int charset, bool utf, std::string_view systemCodePageName);

// The XML declaration line that heads an FB2 text, CR LF included.
std::string XmlDeclaration(int charset, bool utf, std::string_view systemCodePageName);

// The encoding name an FB2 text declares, as the reopening of a file reads it: over every line
// (split at CR LF, CR or LF; a NUL byte ends the text), lower-cased, the characters after the
// line's first `encoding="` up to the next double quote, the line's end or its 201st character.
// Values found on several lines are joined; a text without the marker gives "".
std::string DeclaredEncodingName(std::string_view text);

}  // namespace source
