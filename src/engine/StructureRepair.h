#pragma once
// Optional repair of the FB2 the walk produced into well-formed, schema-shaped FB2.

#include <string>
#include <string_view>

namespace engine {

// Rebuilds the body text (after blank collapsing, before the head is put in front).
std::string RepairBodyStructure(std::string_view body);

// Rewrites picture ids that are not valid XML names, in references and binaries alike.
std::string RepairPictureIds(std::string_view document);

}  // namespace engine
