#pragma once
// Decoding text of any character set iconv knows into UTF-8, for sources that say what they are.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Whether iconv can decode the character set. Names with characters that are not letters,
// digits or one of "-_.:()" are refused (iconv would read suffixes such as "//IGNORE").
bool IsKnownCharset(std::string_view name);

// The text decoded into UTF-8; nothing when the character set is not known or the text is not
// valid in it.
std::optional<std::string> DecodeToUtf8(std::string_view text, std::string_view charset);

}  // namespace platform
