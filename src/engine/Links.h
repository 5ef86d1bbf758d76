#pragma once
// Hyperlinks: the FB2 link tag made for an `a` tag, and what a collected link becomes.

#include <functional>
#include <string>
#include <string_view>

#include "engine/HTMLPars.h"

namespace engine {

// Converts a link target from the output encoding to the code page (UTF-8 → 8-bit when the
// output is UTF-8); identity otherwise.
using FromOutputEncodingFn = std::function<std::string(std::string_view)>;

// "a": "<a" + one xlink:href="..." per href attribute + ">"; "/a": "</a>"; else empty.
// The target is unescaped from HTML ("&amp;" → "&") and written XML-escaped.
std::string BuildLinkTag(const THTMLTag& tag, const FromOutputEncodingFn& fromOutputEncoding);

// The text that replaces a collected link: the link itself when it is kept, else its content.
std::string FinishLink(std::string_view link, bool showHyperlinks);

// The text between the link's first ">" and the following "</a>".
std::string LinkInnerText(std::string_view link);

}  // namespace engine
