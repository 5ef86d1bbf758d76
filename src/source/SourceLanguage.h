#pragma once
// The language a source declares, in the form a book's language takes: a lower-case ISO 639 code
// ("en", "ru", "de"; three letters only for languages without a two-letter code). Readers
// hyphenate a book by it, so a declaration that names no real language counts as none.

#include <cstddef>
#include <string>
#include <string_view>

namespace source {

// How far into the text the declarations are looked for: the head of any real page, including
// the long style sheets of word-processor exports. The search ends earlier, at the body start tag.
inline constexpr size_t kLanguageScanBytes = size_t{1} << 20;

// The book-language form of a language tag ("EN-US", "en_GB", " ru ", "deu"): its first subtag,
// lower-cased, when that is a known ISO 639 code; a three-letter code of a language that has a
// two-letter one gives the two-letter one ("eng" -> "en", "ger" -> "de"), and withdrawn codes
// their successors ("iw" -> "he"). Empty for anything else: "", "XX", "x-klingon", "und", "mul",
// "zxx", "english", "en US".
std::string Fb2LanguageCode(std::string_view tag);

// The language `html` declares, by the first of these that gives a known code:
// 1. `lang`, then `xml:lang`, of the html element;
// 2. the language of the default paragraph style of a LibreOffice export (`so-language` in its
//    style sheet's `p.western` rule): such an export's body names the exporting program's own
//    default language, not the document's;
// 3. `lang`, then `xml:lang`, of the body element;
// 4. <meta http-equiv="Content-Language" content="...">, the first language of its list.
// Only the part before the body start tag is read (at most kLanguageScanBytes); comments, scripts
// and the like are skipped. Empty when nothing is declared.
std::string DeclaredLanguage(std::string_view html);

}  // namespace source
