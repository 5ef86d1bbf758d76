#pragma once
// A small, schema-valid FB2 document around a body, for tests that check whole documents.

#include <string>
#include <string_view>

namespace testsupport {

// Declaration (in `encoding`), root with both namespaces, a minimal valid description, then
// `body` and `binaries` as given, then the closing tag. Lines end with CR LF; the head takes
// lines 1 to 6, so the body starts on line 7.
std::string MakeFb2(std::string_view body, std::string_view binaries = {},
                    std::string_view encoding = "windows-1251");

// A valid body holding one paragraph of `text`.
std::string SimpleBody(std::string_view text = "Text");

}  // namespace testsupport
