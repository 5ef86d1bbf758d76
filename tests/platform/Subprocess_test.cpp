#include "platform/Subprocess.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/TempFolder.h"
#include "support/Xml.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

// The pid a script wrote into `pidFile`, or 0 when it wrote none.
pid_t PidIn(const std::string& pidFile) {
  if (!std::filesystem::exists(pidFile)) return 0;
  return static_cast<pid_t>(std::atol(testsupport::ReadFile(pidFile).c_str()));
}

// Waits for `pid` (not our child) to end: true once it has, false when it still runs after a
// minute. The end is an event (a pidfd that becomes readable), not a guess of time.
bool EndsSoon(pid_t pid) {
  const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (fd < 0) return errno == ESRCH;  // already gone (and reaped)
  pollfd polled{fd, POLLIN, 0};
  const int ready = poll(&polled, 1, 60'000);
  close(fd);
  return ready == 1;
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
  // The script names its helper before it waits; a limit that passes before that (a loaded
  // machine) is tried again with twice the time.
  for (auto limit = std::chrono::milliseconds(300); limit <= 20s; limit *= 2) {
    const auto start = std::chrono::steady_clock::now();
    const RunOutcome run = RunWithTimeLimit(
        {"/bin/sh", "-c", "sleep 30 & echo $! > \"$0.new\" && mv \"$0.new\" \"$0\"; wait", pidFile},
        limit);
    EXPECT_TRUE(run.TimedOut);
    EXPECT_EQ(run.ExitCode, -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, limit + 10s);
    if (const pid_t helper = PidIn(pidFile)) {
      EXPECT_TRUE(EndsSoon(helper));
      return;
    }
  }
  FAIL() << "the script never started its helper";
}

TEST(SubprocessTest, HelpersLeftRunningAreKilledWhenTheProgramEnds) {
  testsupport::TempFolder dir;
  const std::string pidFile = dir / "pid";
  const RunOutcome run =
      RunWithTimeLimit({"/bin/sh", "-c", "sleep 30 & echo $! > \"$0\"", pidFile}, 60s);
  EXPECT_EQ(run.ExitCode, 0);
  const pid_t helper = PidIn(pidFile);
  ASSERT_GT(helper, 0);
  EXPECT_TRUE(EndsSoon(helper));
}

TEST(SubprocessTest, DetachedProgramsRunOnTheirOwn) {
  testsupport::TempFolder dir;
  // The program writes into a pipe of the test's own: reading it waits for the program, however
  // late it runs.
  const std::string out = dir / "out";
  ASSERT_EQ(mkfifo(out.c_str(), 0600), 0);
  // Arguments reach the program as they are, never as shell text.
  EXPECT_TRUE(StartDetached({"/bin/sh", "-c", "printf '%s' \"$1\" > \"$0\"", out, "a b;$(x)"}));
  std::ifstream fifo(out, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(fifo)),
                            std::istreambuf_iterator<char>());
  EXPECT_EQ(written, "a b;$(x)");
  EXPECT_FALSE(StartDetached({}));
}

TEST(SubprocessTest, KeptProgramAnswersLinesAndIsStoppedWithItsGroup) {
  testsupport::TempFolder dir;
  const std::string pidFile = dir / "pid";
  ChildProgram child;
  EXPECT_FALSE(child.Start({"/no/such/program"}));
  EXPECT_FALSE(child.Running());
  // Answers each line with "got <line>"; says nothing to "quiet"; started a helper first.
  ASSERT_TRUE(child.Start({"/bin/sh", "-c",
                           "sleep 30 & echo $! > \"$0\"; while read l; do "
                           "[ \"$l\" = quiet ] || echo \"got $l\"; done",
                           pidFile}));
  ASSERT_TRUE(child.Write("one\ntwo\n"));
  const auto later = std::chrono::steady_clock::now() + 60s;
  EXPECT_EQ(child.ReadLine(later), "got one");
  EXPECT_EQ(child.ReadLine(later), "got two");
  ASSERT_TRUE(child.Write("quiet\n"));
  EXPECT_EQ(child.ReadLine(std::chrono::steady_clock::now() + 100ms), std::nullopt);
  EXPECT_TRUE(child.TimedOut());
  EXPECT_FALSE(child.Ended());
  const pid_t helper = PidIn(pidFile);
  ASSERT_GT(helper, 0);
  child.Stop();
  EXPECT_FALSE(child.Running());
  EXPECT_TRUE(EndsSoon(helper));
  EXPECT_FALSE(child.Write("more\n"));

  // A program that ends: its output closes, and it is seen to have ended.
  ASSERT_TRUE(child.Start({"/bin/sh", "-c", "echo bye"}));
  EXPECT_EQ(child.ReadLine(later), "bye");
  EXPECT_EQ(child.ReadLine(later), std::nullopt);
  EXPECT_FALSE(child.TimedOut());
}

}  // namespace
}  // namespace platform
