#pragma once
// The two FB2 file names the book information proposes from the title and the first author:
// variant 1 as typed ("Petrova A.I. Quiet Harbour.fb2"), variant 2 transliterated and joined
// with underscores ("Petrova_A._Quiet_Harbour.fb2").

#include <array>
#include <string>
#include <string_view>

namespace platform {
class CodePage;
}

namespace fb2meta {

struct BookInfo;

// Both proposals from the texts as they stand (not trimmed); a variant that comes out empty is
// returned empty.
std::array<std::string, 2> ComputeFileNames(std::string_view lastName, std::string_view firstName,
                                            std::string_view middleName, std::string_view title,
                                            const platform::CodePage& codePage);

// Recomputes `FileNameProposals` from the title and the first author row; an empty result
// leaves that proposal's previous text.
void ProposeFileNames(BookInfo& info, const platform::CodePage& codePage);

// Lower-cases by the code page's rules, then replaces the Cyrillic letters of windows-1251 byte
// by byte with Latin letters; every other byte is copied.
std::string Transliterate(std::string_view s, const platform::CodePage& codePage);

// The first byte upper-cased when it is a to z.
std::string CapitalizeFirst(std::string_view s);
// Every part between "_" capitalized; a trailing "_" is dropped.
std::string CapitalizeParts(std::string_view s);
// Deletes ? : < > " * \ / |
std::string RemoveForbiddenFileChars(std::string_view s);
std::string SpacesToUnderscores(std::string_view s);

}  // namespace fb2meta
