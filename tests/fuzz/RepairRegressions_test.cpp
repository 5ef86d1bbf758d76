// Replays the inputs that once failed the structure-repair fuzz target, and its seed corpus.

#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/RepairTargets.h"
#include "support/Xml.h"

namespace {

TEST(RepairFuzzRegressions, Repair) {
  for (const char* kind : {"regressions", "corpus"}) {
    const std::filesystem::path dir =
        std::filesystem::path(VELLUMOR_SOURCE_DIR) / "fuzz" / kind / "fuzz_repair";
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testsupport::ReadFile(entry.path().string());
      fuzztargets::FuzzRepair(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
  }
}

}  // namespace
