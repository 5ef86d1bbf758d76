// Replays the inputs that once troubled the picture decoders' fuzz targets, and their seeds.

#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/ImageTargets.h"
#include "support/Xml.h"

namespace {

size_t ReplayPictures(const std::string& name, int (*target)(const uint8_t*, size_t)) {
  size_t count = 0;
  for (const char* kind : {"regressions", "corpus"}) {
    const std::filesystem::path dir =
        std::filesystem::path(VELLUMOR_SOURCE_DIR) / "fuzz" / kind / name;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = testsupport::ReadFile(entry.path().string());
      target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++count;
    }
  }
  return count;
}

TEST(ImageFuzzRegressions, Jpeg) {
  EXPECT_GT(ReplayPictures("fuzz_jpeg", fuzztargets::FuzzJpeg), 0u);
}
TEST(ImageFuzzRegressions, Png) {
  EXPECT_GT(ReplayPictures("fuzz_png", fuzztargets::FuzzPng), 0u);
}
TEST(ImageFuzzRegressions, Gif) {
  EXPECT_GT(ReplayPictures("fuzz_gif", fuzztargets::FuzzGif), 0u);
}

}  // namespace
