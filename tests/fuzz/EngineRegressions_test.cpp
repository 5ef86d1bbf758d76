// Replays the inputs that once crashed the engine's fuzz targets, and their seed corpora.

#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/EngineTargets.h"
#include "support/Xml.h"

namespace {

void ReplayFolder(const std::string& name, int (*target)(const uint8_t*, size_t)) {
  for (const char* kind : {"regressions", "corpus"}) {
    const std::filesystem::path dir =
        std::filesystem::path(VELLUMOR_SOURCE_DIR) / "fuzz" / kind / name;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testsupport::ReadFile(entry.path().string());
      target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
  }
}

TEST(EngineFuzzRegressions, Parse) {
  ReplayFolder("fuzz_parse", fuzztargets::FuzzParse);
}
TEST(EngineFuzzRegressions, Walk) {
  ReplayFolder("fuzz_walk", fuzztargets::FuzzWalk);
}
TEST(EngineFuzzRegressions, CleanHtml) {
  ReplayFolder("fuzz_cleanhtml", fuzztargets::FuzzCleanHtml);
}

}  // namespace
