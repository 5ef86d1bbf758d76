#include "platform/Subprocess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/TempFolder.h"
#include "support/Xml.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

// True when the process is gone (or a zombie waiting for init).
bool Ended(const std::string& pidFile) {
  const std::string pid = testsupport::ReadFile(pidFile);
  std::ifstream stat("/proc/" + pid.substr(0, pid.find('\n')) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const size_t close = line.rfind(')');
  return close != std::string::npos && line.size() > close + 2 && line[close + 2] == 'Z';
}

// Waits until `path` exists, for at most five seconds.
bool AppearsSoon(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    if (std::filesystem::exists(path) && !testsupport::ReadFile(path).empty()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

TEST(SubprocessTest, FindsProgramsOnPath) {
  EXPECT_FALSE(FindOnPath("sh").empty());
  EXPECT_EQ(FindOnPath("no-such-program-here"), "");
  EXPECT_EQ(FindOnPath("/bin/sh"), "/bin/sh");
  EXPECT_EQ(FindOnPath(""), "");
}

TEST(SubprocessTest, ReportsTheExitCode) {
  const RunOutcome ok = RunWithTimeLimit({"/bin/sh", "-c", "exit 0"}, 10s);
  EXPECT_TRUE(ok.Started);
  EXPECT_FALSE(ok.TimedOut);
  EXPECT_EQ(ok.ExitCode, 0);
  EXPECT_EQ(RunWithTimeLimit({"/bin/sh", "-c", "exit 7"}, 10s).ExitCode, 7);
  EXPECT_FALSE(RunWithTimeLimit({"/no/such/program"}, 10s).Started);
}

TEST(SubprocessTest, TimeLimitKillsTheWholeGroup) {
  testsupport::TempFolder dir;
  const std::string pidFile = dir / "pid";
  const auto start = std::chrono::steady_clock::now();
  const RunOutcome run =
      RunWithTimeLimit({"/bin/sh", "-c", "sleep 30 & echo $! > \"$0\"; wait", pidFile}, 300ms);
  EXPECT_TRUE(run.TimedOut);
  EXPECT_EQ(run.ExitCode, -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  ASSERT_TRUE(AppearsSoon(pidFile));
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(Ended(pidFile));
}

TEST(SubprocessTest, HelpersLeftRunningAreKilledWhenTheProgramEnds) {
  testsupport::TempFolder dir;
  const std::string pidFile = dir / "pid";
  const RunOutcome run =
      RunWithTimeLimit({"/bin/sh", "-c", "sleep 30 & echo $! > \"$0\"", pidFile}, 10s);
  EXPECT_EQ(run.ExitCode, 0);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(Ended(pidFile));
}

TEST(SubprocessTest, DetachedProgramsRunOnTheirOwn) {
  testsupport::TempFolder dir;
  const std::string out = dir / "out";
  // Arguments reach the program as they are, never as shell text.
  EXPECT_TRUE(StartDetached({"/bin/sh", "-c", "printf '%s' \"$1\" > \"$0\"", out, "a b;$(x)"}));
  ASSERT_TRUE(AppearsSoon(out));
  EXPECT_EQ(testsupport::ReadFile(out), "a b;$(x)");
  EXPECT_FALSE(StartDetached({}));
}

}  // namespace
}  // namespace platform
