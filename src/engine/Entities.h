#pragma once
// Character entities in text runs, and the final normalisation of blanks.

#include <string>
#include <string_view>

namespace platform {
class CodePage;
}

namespace engine {

// Decodes the entities of a body text run (after CrLfToSpaces) and writes the run XML-escaped,
// ready for the FB2 text. A decoded character is written as its byte in the code page, or as
// "&#N;" when the code page lacks it; an "&" that opens no decoded entity is written "&amp;".
void AppendDecodedEntities(std::string& out, std::string_view run, const platform::CodePage& cp);
std::string DecodeEntities(std::string_view run, const platform::CodePage& cp);

// The variant for table text in the picture table mode: unknown entities are removed, and the
// result is raw 8-bit text for the table renderer (not escaped).
std::string DecodeTableEntities(std::string_view run, const platform::CodePage& cp);

// Runs of blank bytes (tab, space, 0xA0) keep only their first byte. CR and LF are not blanks.
std::string CollapseBlanks(std::string_view text);
// The same over a text it may change: no second buffer for a whole body.
void CollapseBlanksInPlace(std::string& text);

}  // namespace engine
