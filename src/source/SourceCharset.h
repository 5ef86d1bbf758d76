#pragma once
// Reading a source in the character set it declares. A byte-order mark, or in the first 4 KB an
// XML declaration's encoding, a <meta charset=...> or a <meta http-equiv="content-type"
// content="...charset=...">, names the set; such a text is decoded from it and encoded into the
// system code page, characters the code page lacks written as "&#N;", and the names in the
// declarations replaced by the code page's name so that the text never claims a set it is not in.
// A text without a usable declaration is taken byte for byte.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"

namespace source {

// How far into the text the declarations are looked for.
inline constexpr size_t kDeclarationScanBytes = 4096;

enum class DeclarationKind { ByteOrderMark, XmlDeclaration, MetaCharset, MetaHttpEquiv };

// One declaration: where the character-set name stands in the text, as written.
struct CharsetDeclaration {
  DeclarationKind Kind;
  size_t NameStart;
  size_t NameLength;
};

// Every XML declaration and meta declaration in the first 4 KB (comments skipped), in text order.
std::vector<CharsetDeclaration> FindCharsetDeclarations(std::string_view text);

// The character set the text declares, as iconv should read it: a byte-order mark first ("UTF-8",
// "UTF-16LE", "UTF-16BE"), then the XML declaration, then <meta charset>, then the http-equiv
// form. The first that names a set wins. "iso-8859-1", "latin1" and "us-ascii" give
// "windows-1252", and a UTF-16 name in a text read as bytes gives "utf-8", as browsers read them.
// Empty when nothing is declared.
std::string DeclaredCharset(std::string_view text);

// The bytes of a source file in the system code page (see above).
std::string ReadInCodePage(std::string_view bytes, const platform::CodePage& codePage);

}  // namespace source
