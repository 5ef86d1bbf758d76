#pragma once
// Optional repair of the FB2 the walk produced into well-formed, schema-shaped FB2.

#include <string>
#include <string_view>

namespace engine {

// Rebuilds the body text the walk gave (after blank collapsing) and appends it to `out`.
void AppendRepairedBody(std::string& out, std::string_view body);

inline std::string RepairBodyStructure(std::string_view body) {
  std::string out;
  AppendRepairedBody(out, body);
  return out;
}

// Rewrites picture ids that are not valid XML names, in references and binaries alike.
void RepairPictureIds(std::string& document);

}  // namespace engine
