#pragma once
// Optional repair of the FB2 the walk produced into well-formed, schema-shaped FB2.

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Rebuilds the body text the walk gave (after blank collapsing) and appends it to `out`.
// Returns the ids its elements carry.
std::vector<std::string> AppendRepairedBody(std::string& out, std::string_view body);

inline std::string RepairBodyStructure(std::string_view body) {
  std::string out;
  AppendRepairedBody(out, body);
  return out;
}

}  // namespace engine
