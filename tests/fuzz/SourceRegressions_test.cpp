// Replays the inputs that once crashed the source-intake fuzz targets, and their seed corpora.

#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/SourceTargets.h"
#include "support/Xml.h"

namespace {

TEST(SourceFuzzRegressions, SourceCharset) {
  for (const char* kind : {"regressions", "corpus"}) {
    const std::filesystem::path dir =
        std::filesystem::path(VELLUMOR_SOURCE_DIR) / "fuzz" / kind / "fuzz_source_charset";
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testsupport::ReadFile(entry.path().string());
      fuzztargets::FuzzSourceCharset(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
  }
}

}  // namespace
