// Replays, for every fuzz target, the inputs that once failed it (fuzz/regressions/NAME) and its
// seed corpus (fuzz/corpus/NAME).

#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/EngineTargets.h"
#include "../../fuzz/EntityTargets.h"
#include "../../fuzz/ImageTargets.h"
#include "../../fuzz/IniTargets.h"
#include "../../fuzz/RepairTargets.h"
#include "../../fuzz/SourceTargets.h"
#include "../../fuzz/TableTargets.h"
#include "support/Xml.h"

namespace {

struct FuzzTarget {
  const char* Name;
  int (*Run)(const uint8_t*, size_t);
};

class FuzzRegressions : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzRegressions, SavedInputsPass) {
  const FuzzTarget& target = GetParam();
  size_t replayed = 0;
  for (const char* kind : {"regressions", "corpus"}) {
    const std::filesystem::path dir =
        std::filesystem::path(VELLUMOR_SOURCE_DIR) / "fuzz" / kind / target.Name;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testsupport::ReadFile(entry.path().string());
      target.Run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0u) << "no saved inputs";
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FuzzRegressions,
    ::testing::Values(FuzzTarget{"fuzz_parse", fuzztargets::FuzzParse},
                      FuzzTarget{"fuzz_walk", fuzztargets::FuzzWalk},
                      FuzzTarget{"fuzz_cleanhtml", fuzztargets::FuzzCleanHtml},
                      FuzzTarget{"fuzz_entities", fuzztargets::FuzzEntities},
                      FuzzTarget{"fuzz_jpeg", fuzztargets::FuzzJpeg},
                      FuzzTarget{"fuzz_png", fuzztargets::FuzzPng},
                      FuzzTarget{"fuzz_gif", fuzztargets::FuzzGif},
                      FuzzTarget{"fuzz_inifile", fuzztargets::FuzzIniFile},
                      FuzzTarget{"fuzz_repair", fuzztargets::FuzzRepair},
                      FuzzTarget{"fuzz_source_charset", fuzztargets::FuzzSourceCharset},
                      FuzzTarget{"fuzz_rendertable", fuzztargets::FuzzRenderTable}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(EntityFuzzRegressions, EscapedTextCheckCatchesBareMarkup) {
  EXPECT_TRUE(fuzztargets::IsEscapedXmlText("a &amp; &lt;b&gt; &#1040; \t"));
  for (const char* bad : {"a < b", "a > b", "AT&T", "&#;", "&#12", "&#x41;", "\x01"}) {
    EXPECT_FALSE(fuzztargets::IsEscapedXmlText(bad)) << bad;
  }
}

}  // namespace
