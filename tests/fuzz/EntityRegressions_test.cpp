// Replays the inputs that once crashed the entity decoder's fuzz target, and its seed corpus.

#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/EntityTargets.h"
#include "support/Xml.h"

namespace {

TEST(EntityFuzzRegressions, Entities) {
  for (const char* kind : {"regressions", "corpus"}) {
    const std::filesystem::path dir =
        std::filesystem::path(VELLUMOR_SOURCE_DIR) / "fuzz" / kind / "fuzz_entities";
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testsupport::ReadFile(entry.path().string());
      fuzztargets::FuzzEntities(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
  }
}

TEST(EntityFuzzRegressions, EscapedTextCheckCatchesBareMarkup) {
  EXPECT_TRUE(fuzztargets::IsEscapedXmlText("a &amp; &lt;b&gt; &#1040; \t"));
  for (const char* bad : {"a < b", "a > b", "AT&T", "&#;", "&#12", "&#x41;", "\x01"}) {
    EXPECT_FALSE(fuzztargets::IsEscapedXmlText(bad)) << bad;
  }
}

}  // namespace
