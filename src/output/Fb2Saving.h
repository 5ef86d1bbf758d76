#pragma once
// What an FB2 save writes: the file's bytes from the result editor's lines, the names of the
// archive and its entry, and the encoding the document declares.

#include <string>
#include <string_view>
#include <vector>

namespace platform {
class CodePage;
}

namespace output {

// The bytes of a plain FB2 file. 8-bit output: the lines joined by `lineBreak`, nothing after
// the last. UTF-8 output (the lines already converted): every line followed by CR LF, the last
// one included; a final empty line (the text ended with a line break) is not a line of its own.
std::string Fb2FileBytes(const std::vector<std::string>& lines, bool utfOutput,
                         std::string_view lineBreak);

// The written form of a byte the declared code page leaves undefined: U+FFFD, the replacement
// character, as a reference ("?" would hide that anything was wrong).
inline constexpr std::string_view kUndefinedByteText = "&#65533;";

// The same bytes from the result editor's whole text, in one pass: its line breaks (CR LF, CR,
// LF) written as `lineBreak` (8-bit) or CR LF (UTF-8, converted from `codePage`); in 8-bit output
// every byte that `declared` leaves undefined is written as kUndefinedByteText, so that the file
// reads in the encoding it declares (UTF-8 output gives such bytes as U+FFFD already). `declared`
// null: the declaration names no single-byte code page, and the bytes stay as they are.
std::string Fb2FileBytes(std::string_view text, const platform::CodePage& codePage,
                         const platform::CodePage* declared, bool utfOutput,
                         std::string_view lineBreak);

// The code page a declared encoding name ("windows-1251", lower case) stands for: the number of
// a single-byte Windows code page, or 0 for any other name.
int SingleByteCodePageNamed(std::string_view encoding);

// The archive beside an FB2 path: "Tale.fb2" gives "Tale.fb2.zip".
std::string ZipArchiveName(std::string_view fb2Path);
// The entry of that archive: the file name with its extension forced to ".fb2".
std::string ZipEntryName(std::string_view fb2Path);

// `path` with ".fb2" unless its extension already is ".fb2" in any letter case.
std::string WithFb2Extension(std::string_view path);

// The encoding the lines declare: for each of the first `maxLines` lines, lower-cased, holding
// encoding=", the characters after it up to the next double quote or the line's end; the
// values of several such lines are joined.
std::string DeclaredEncodingName(const std::vector<std::string>& lines, size_t maxLines = 200);
// The same from the whole text, split into lines as the editor splits it.
std::string DeclaredEncodingName(std::string_view text, size_t maxLines = 200);

// Writes a plain FB2 file, or the archive `ZipArchiveName(path)` holding it when `packToZip`;
// throws SaveError.
void WriteFb2File(const std::string& path, std::string_view bytes, bool packToZip);

}  // namespace output
