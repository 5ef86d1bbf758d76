#include "engine/BodyTags.h"

namespace engine {

// Placeholder until the body tag table lands.
std::string_view MapBodyTag(std::string_view, bool, int, bool&) { return {}; }
std::string_view MapHeadingTag(std::string_view, bool, int) { return {}; }

}  // namespace engine
