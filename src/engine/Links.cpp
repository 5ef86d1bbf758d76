#include "engine/Links.h"

namespace engine {

// Placeholders until the link handling lands.
std::string BuildLinkTag(const THTMLTag&, const FromOutputEncodingFn&) { return {}; }
std::string FinishLink(std::string_view link, bool) { return std::string(link); }
std::string LinkInnerText(std::string_view) { return {}; }

}  // namespace engine
