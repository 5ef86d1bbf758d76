// Replays the inputs that once troubled the table renderer's fuzz target, and its seed corpus.

#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/TableTargets.h"
#include "support/Xml.h"

namespace {

TEST(TableFuzzRegressions, RenderTable) {
  int replayed = 0;
  for (const char* kind : {"regressions", "corpus"}) {
    const std::filesystem::path dir =
        std::filesystem::path(VELLUMOR_SOURCE_DIR) / "fuzz" / kind / "fuzz_rendertable";
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testsupport::ReadFile(entry.path().string());
      fuzztargets::FuzzRenderTable(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
