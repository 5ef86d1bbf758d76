#pragma once
// The character-set choice and the output encoding of the FB2 text.

#include <cstdint>
#include <string>

namespace source {

// Held by the session, one instance.
struct EncodingState {
  std::string SystemCodePageName;  // CodePageName of the system code page, at most 20 characters
  uint16_t CurrentCharset = 0;     // the character set last applied
  bool ApplyingCharset = false;    // ApplyCharset is running: list changes are ignored
  bool SwitchingEncoding = false;  // SetUtfOutput is running: toggle clicks are ignored
  int SelectedCharsetIndex = 4;    // the "Charset" list's selected entry
  uint16_t FontCharset = 0;        // the font character set given to the text fields
  bool Utf8TogglePressed = false;  // the "utf-8" toolbar toggle
};

}  // namespace source
