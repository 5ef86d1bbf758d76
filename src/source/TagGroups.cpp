#include "source/TagGroups.h"

#include <algorithm>
#include <array>

#include "engine/TextUtil.h"

namespace source {

namespace {

struct NameGroups {
  std::string_view name;
  uint8_t groups;
};

constexpr uint8_t kW = kWrapperTag, kA = kAttributeFreeTag, kV = kVoidTag, kB = kBreakBefore;

// Sorted by name for the binary search.
constexpr std::array kNames{
    NameGroups{"/body", kB},      NameGroups{"/div", kW},      NameGroups{"/font", kW},
    NameGroups{"/head", kB},      NameGroups{"/html", kB},     NameGroups{"/o:p", kW},
    NameGroups{"/pre", kB},       NameGroups{"/span", kW},     NameGroups{"/style", kB},
    NameGroups{"/table", kB},     NameGroups{"/tbody", kB},    NameGroups{"/tr", kB},
    NameGroups{"b", kA},          NameGroups{"body", kA | kB}, NameGroups{"br", kA | kV | kB},
    NameGroups{"div", kW | kB},   NameGroups{"font", kW},      NameGroups{"h1", kA | kB},
    NameGroups{"h2", kA | kB},    NameGroups{"h3", kA | kB},   NameGroups{"h4", kA | kB},
    NameGroups{"h5", kA | kB},    NameGroups{"h6", kA | kB},   NameGroups{"head", kB},
    NameGroups{"hr", kV},         NameGroups{"i", kA},         NameGroups{"img", kV},
    NameGroups{"li", kA | kB},    NameGroups{"meta", kV | kB}, NameGroups{"o:p", kW},
    NameGroups{"ol", kA | kB},    NameGroups{"p", kA | kB},    NameGroups{"pre", kB},
    NameGroups{"span", kW},       NameGroups{"style", kB},     NameGroups{"table", kA | kB},
    NameGroups{"tbody", kA | kB}, NameGroups{"td", kA | kB},   NameGroups{"title", kB},
    NameGroups{"tr", kA | kB},    NameGroups{"u", kA},         NameGroups{"ul", kA | kB},
};

constexpr bool ByName(const NameGroups& a, const NameGroups& b) {
  return a.name < b.name;
}
static_assert(std::is_sorted(kNames.begin(), kNames.end(), ByName));

}  // namespace

uint8_t TagGroups(std::string_view lowerName) {
  const auto it = std::lower_bound(kNames.begin(), kNames.end(), NameGroups{lowerName, 0}, ByName);
  return (it != kNames.end() && it->name == lowerName) ? it->groups : 0;
}

bool KeepsTableAttribute(std::string_view lowerTagName, std::string_view attributeName) {
  using engine::EqualsNoCase;
  if (lowerTagName == "table") return EqualsNoCase(attributeName, "border");
  const bool align = EqualsNoCase(attributeName, "align") || EqualsNoCase(attributeName, "valign");
  if (lowerTagName == "tr") return align;
  if (lowerTagName == "td") {
    return align || EqualsNoCase(attributeName, "rowspan") ||
           EqualsNoCase(attributeName, "colspan");
  }
  return false;
}

}  // namespace source
