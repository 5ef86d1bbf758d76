#include "platform/Interrupts.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/ScratchFolder.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// A process group of its own that sleeps until killed; its leader's pid.
pid_t StartSleepingGroup() {
  const pid_t pid = fork();
  // Both sides make the group, so that it exists before either goes on.
  if (pid > 0) setpgid(pid, pid);
  if (pid == 0) {
    setpgid(0, 0);
    execl("/bin/sleep", "sleep", "60", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// True when nothing of the process group is left (the cleanup reaps its leader, our child).
bool GroupGone(pid_t group) {
  return kill(-group, 0) == -1 && errno == ESRCH;
}

void MakeTree(const std::string& root) {
  fs::create_directories(root + "/a/b/c");
  for (const char* name : {"/x", "/a/y", "/a/b/z", "/a/b/c/w"})
    testsupport::WriteFile(root + name, "data");
}

TEST(InterruptCleanupTest, RemovesWhatIsRegisteredAndNothingElse) {
  testsupport::TempFolder dir;
  const std::string file = dir / "book.fb2.tmp";
  const std::string tree = dir / "export.files";
  const std::string replaced = dir / "replaced.htm";
  const std::string released = dir / "released.htm";
  testsupport::WriteFile(file, "partial");
  MakeTree(tree);
  testsupport::WriteFile(replaced, "the export");
  testsupport::WriteFile(released, "kept");
  const pid_t group = StartSleepingGroup();
  ASSERT_GT(group, 0);

  InterruptCleanup fileEntry = InterruptCleanup::File(file);
  InterruptCleanup treeEntry = InterruptCleanup::Tree(tree + "/");
  InterruptCleanup groupEntry = InterruptCleanup::ProcessGroup(group);
  InterruptCleanup replacedEntry = InterruptCleanup::File(replaced);
  InterruptCleanup releasedEntry = InterruptCleanup::File(released);
  for (const InterruptCleanup* entry :
       {&fileEntry, &treeEntry, &groupEntry, &replacedEntry, &releasedEntry})
    EXPECT_TRUE(entry->Registered());
  // A file made later under a registered name is another file: the user's, never removed.
  // (The old file is moved away, not deleted, so that its inode cannot be handed on at once.)
  fs::rename(replaced, dir / "moved.htm");
  testsupport::WriteFile(replaced, "the user's own");
  releasedEntry.Release();
  EXPECT_FALSE(releasedEntry.Registered());
  // A moved registration is still one registration.
  InterruptCleanup moved = std::move(fileEntry);
  EXPECT_FALSE(fileEntry.Registered());

  RunInterruptCleanup();
  EXPECT_TRUE(GroupGone(group));
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"moved.htm", "released.htm", "replaced.htm"}));
  EXPECT_EQ(testsupport::ReadFile(replaced), "the user's own");
}

TEST(InterruptCleanupTest, ForgottenEntriesAreNotCleanedAndStaleHandlesFreeNothing) {
  testsupport::TempFolder dir;
  const std::string inherited = dir / "inherited";
  testsupport::WriteFile(inherited, "the parent's");
  InterruptCleanup stale = InterruptCleanup::File(inherited);
  ForgetInheritedCleanup();
  const std::string mine = dir / "mine";
  testsupport::WriteFile(mine, "x");
  InterruptCleanup entry = InterruptCleanup::File(mine);
  stale.Release();  // must not free the slot `entry` may have taken
  RunInterruptCleanup();
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"inherited"});
}

// A child that installs the handlers, registers its scratch folder, a file and a sleeping
// process group, tells the test it is ready and waits for the signal.
TEST(InterruptHandlersTest, CleanUpAndExitWith128PlusTheSignal) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    testsupport::TempFolder dir;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(ready[0]);
      InstallInterruptHandlers();
      ScratchFolder scratch;
      MakeTree(scratch.Path() + "profile");
      const std::string file = dir / "export.htm";
      testsupport::WriteFile(file, "export");
      InterruptCleanup fileEntry = InterruptCleanup::File(file);
      const pid_t group = StartSleepingGroup();
      InterruptCleanup groupEntry = InterruptCleanup::ProcessGroup(group);
      const std::string line = scratch.Path() + "\n" + std::to_string(group) + "\n";
      if (write(ready[1], line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(90);
      close(ready[1]);
      for (;;) pause();
    }
    close(ready[1]);
    std::string line;
    char buffer[512];
    // Two lines; the sleeping group holds the pipe open, so no end of file comes.
    for (ssize_t n; std::count(line.begin(), line.end(), '\n') < 2 &&
                    (n = read(ready[0], buffer, sizeof buffer)) > 0;)
      line.append(buffer, n);
    close(ready[0]);
    const size_t newline = line.find('\n');
    ASSERT_NE(newline, std::string::npos) << "the child did not start";
    const std::string scratch = line.substr(0, newline);
    const pid_t group = std::stoi(line.substr(newline + 1));
    EXPECT_TRUE(fs::exists(scratch + "profile/a/b/c/w"));

    ASSERT_EQ(kill(child, signal), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
    EXPECT_FALSE(fs::exists(scratch));
    EXPECT_TRUE(dir.Names().empty());
    // The group is gone: nobody is left to signal.
    EXPECT_TRUE(GroupGone(group));
  }
}

TEST(ScratchFolderSweepTest, RemovesOnlyFoldersOfEndedProcesses) {
  // A process that has ended leaves a pid nobody has (until it is reused, not within the test).
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  waitpid(ended, nullptr, 0);
  const fs::path temp = fs::temp_directory_path();
  const fs::path abandoned = temp / ("vellumor-" + std::to_string(ended) + "-AbCd12");
  const fs::path running = temp / ("vellumor-" + std::to_string(getpid()) + "-AbCd12");
  const fs::path other = temp / ("vellumor-" + std::to_string(ended) + "-short");
  for (const fs::path& folder : {abandoned, running, other}) MakeTree(folder.string());

  EXPECT_GE(RemoveAbandonedScratchFolders(), 1);
  EXPECT_FALSE(fs::exists(abandoned));
  EXPECT_TRUE(fs::exists(running / "a/b/c/w"));
  EXPECT_TRUE(fs::exists(other / "x")) << "not a name of ours";
  fs::remove_all(running);
  fs::remove_all(other);
}

}  // namespace
}  // namespace platform
