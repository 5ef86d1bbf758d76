#include "source/OfficeInstance.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ScratchFolder.h"
#include "support/FakeOffice.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace source {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class OfficeInstanceTest : public ::testing::Test {
 protected:
  OfficeInstanceTest() {
    options_.Program = office_.Soffice();
    options_.TimeLimit = 6s;  // room for a loaded machine; only the hang waits it out
  }
  // Exports a document holding `text` into a fresh folder; the HTML's text, or the failure.
  ExportResult Export(OfficeInstance& instance, const std::string& text, std::string& html) {
    platform::ScratchFolder folder;
    const std::string input = folder.FilePath("document.rtf");
    testsupport::WriteFile(input, text);
    fs::create_directory(folder.FilePath("out"));
    ExportResult result = instance.Export(input, folder.FilePath("out"));
    html = result ? testsupport::ReadFile(folder.FilePath("out/document.html")) : "";
    return result;
  }

  testsupport::FakeOffice office_;
  WordBridgeOptions options_;
};

TEST_F(OfficeInstanceTest, OneListenerServesManyDocumentsAndAFaultCostsOnlyItsDocument) {
  struct Step {
    const char* Text;
    const char* Reason;  // after the program's quoted path; null for success
    size_t Listeners;    // listeners started so far
  };
  const Step steps[] = {
      {"first", nullptr, 1},
      {"second", nullptr, 1},
      {"hang", " timed out after 6 s", 1},
      {"third", nullptr, 2},  // a fresh LibreOffice after the hang
      {"crash", " ended abnormally", 2},
      {"fourth", nullptr, 3},
  };
  std::vector<std::string> profiles;
  {
    OfficeInstance instance(options_);
    for (const Step& step : steps) {
      std::string html;
      const auto start = std::chrono::steady_clock::now();
      const ExportResult result = Export(instance, step.Text, html);
      if (step.Reason) {
        EXPECT_FALSE(result) << step.Text;
        EXPECT_EQ(result.Reason, "\"" + office_.Soffice() + "\"" + step.Reason) << step.Text;
        EXPECT_EQ(result.TimedOut, std::string(step.Text) == "hang");
        EXPECT_LT(std::chrono::steady_clock::now() - start, 30s) << "bounded by the limit";
      } else {
        EXPECT_TRUE(result) << step.Text << ": " << result.Reason;
        EXPECT_NE(html.find("<p>" + std::string(step.Text) + "</p>"), std::string::npos) << html;
      }
      EXPECT_EQ(office_.ListenerPids().size(), step.Listeners) << step.Text;
      EXPECT_TRUE(office_.OncePids().empty());
    }
    profiles = office_.Profiles();
    ASSERT_FALSE(profiles.empty());
    // One private profile for all of them, never the user's.
    for (const std::string& profile : profiles) {
      EXPECT_EQ(profile, profiles[0]);
      EXPECT_EQ(profile.find(fs::temp_directory_path().string() + "/vellumor-"), 0u) << profile;
    }
  }
  // Gone with the instance: every LibreOffice, every driver and the profile's folder.
  for (const int pid : office_.ListenerPids()) EXPECT_TRUE(testsupport::ProcessEnds(pid));
  for (const int pid : office_.DriverPids()) EXPECT_TRUE(testsupport::ProcessEnds(pid));
  EXPECT_FALSE(fs::exists(fs::path(profiles[0]).parent_path()));
}

TEST_F(OfficeInstanceTest, WithoutTheBridgeEachDocumentRunsOnceWithTheBatchProfile) {
  office_.NoBridge();
  OfficeInstance instance(options_);
  for (const char* text : {"first", "second"}) {
    std::string html;
    const ExportResult result = Export(instance, text, html);
    EXPECT_TRUE(result) << result.Reason;
    EXPECT_NE(html.find("<p>once " + std::string(text) + "</p>"), std::string::npos) << html;
  }
  std::string html;
  EXPECT_EQ(Export(instance, "hang", html).Reason,
            "\"" + office_.Soffice() + "\" timed out after 6 s");
  // A listener was tried at most once, for the first document (stopped as soon as the driver
  // said no, perhaps before it got going), and never again.
  EXPECT_LE(office_.ListenerPids().size(), 1u);
  EXPECT_EQ(office_.OncePids().size(), 3u);
  const std::vector<std::string> profiles = office_.Profiles();
  ASSERT_GE(profiles.size(), 3u);
  for (const std::string& profile : profiles) EXPECT_EQ(profile, profiles[0]);
}

TEST(KeptProfileTest, LivesInTheUsersCacheAndIsLockedAgainstASecondRun) {
  testsupport::TempFolder cache;
  const char* saved = getenv("XDG_CACHE_HOME");
  const std::string previous = saved ? saved : "";
  setenv("XDG_CACHE_HOME", cache.Path().c_str(), 1);
  EXPECT_EQ(KeptProfileFolder(), cache / "vellumor/libreoffice");
  {
    KeptProfile first;
    EXPECT_EQ(first.Path(), cache / "vellumor/libreoffice");
    KeptProfile second;
    EXPECT_EQ(second.Path(), "") << "in use by the first";
    fs::create_directories(first.Path() + "/user");
    first.Discard();
    EXPECT_FALSE(fs::exists(first.Path()));
  }
  EXPECT_EQ(KeptProfile().Path(), cache / "vellumor/libreoffice") << "free again";
  if (saved) {
    setenv("XDG_CACHE_HOME", previous.c_str(), 1);
  } else {
    unsetenv("XDG_CACHE_HOME");
  }
}

}  // namespace
}  // namespace source
