#include "engine/StructureRepair.h"

namespace engine {

std::string RepairBodyStructure(std::string_view body) { return std::string(body); }

std::string RepairPictureIds(std::string_view document) { return std::string(document); }

}  // namespace engine
