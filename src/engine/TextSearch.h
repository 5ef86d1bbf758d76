#pragma once
// Search primitives of the tokenizer: pure byte loops over an explicit length (no terminator
// needed). Positions are 0-based; every function returns -1 when nothing is found.
//
// "Blank" is one of tab, LF, CR and space. A quote byte (" or ') opens a quoted run that ends at
// the next byte equal to that quote not directly preceded by a backslash; the ...OutsideQuotes
// searches skip such runs whole, and a run that never closes makes them fail.

#include <cstddef>
#include <string_view>

namespace engine {

using Pos = std::ptrdiff_t;

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
inline bool IsQuote(char c) { return c == '"' || c == '\''; }

// ASCII letters compare without regard to case; an empty pattern or `from` past the end gives -1.
Pos FindTextNoCase(std::string_view text, std::string_view pattern, Pos from);
Pos FindChar(std::string_view text, char c, Pos from);
Pos FindCharOutsideQuotes(std::string_view text, char c, Pos from);
Pos FindBlankOutsideQuotes(std::string_view text, Pos from);
// First non-blank at or after `from`; -1 when `from` is outside the text or only blanks follow.
Pos SkipBlanks(std::string_view text, Pos from);
// Last non-blank at or before `from`; -1 when `from` is outside the text or only blanks precede.
Pos SkipBlanksBack(std::string_view text, Pos from);
// True when "<html", "<script" or "<body" occurs anywhere, in any letter case.
bool LooksLikeHtml(std::string_view text);

}  // namespace engine
