#pragma once
// Starting outside programs: found on PATH, run in a session of their own with no terminal,
// either waited for within a time limit, kept running and talked to through pipes, or left to
// run on their own.
//
// Programs that are waited for or kept are tied to this process: they get SIGKILL when it ends,
// however it ends (PR_SET_PDEATHSIG), and their process group is killed on an interrupt
// (platform/Interrupts.h) or when they are done with.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/Interrupts.h"

namespace platform {

// The full path of an executable `name` in the folders of PATH; empty when there is none.
std::string FindOnPath(const std::string& name);

struct RunOutcome {
  bool Started = false;
  bool TimedOut = false;  // the time limit passed and the process group was killed
  int ExitCode = -1;      // the exit status when the program ended by itself, else -1
};

// Runs `argv` (argv[0] is the program's path) in a new session and process group, with standard
// input, output and error on /dev/null, and waits at most `limit`. When the time is up the
// whole process group is killed. Whatever the program left running in its group is killed when
// it ends, so no helper process outlives the call.
// `environment` holds "NAME=value" entries that replace or add to ours for the program.
RunOutcome RunWithTimeLimit(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                            const std::vector<std::string>& environment = {});

// A program kept running in a session of its own, its standard input and output connected to
// us by pipes (its errors go to /dev/null). Destroying the object kills its process group and
// waits for the program.
class ChildProgram {
 public:
  ChildProgram() = default;
  ~ChildProgram() { Stop(); }
  ChildProgram(ChildProgram&& other) noexcept;
  ChildProgram& operator=(ChildProgram&& other) noexcept;
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  // Starts `argv`; false when it could not be started. With `pipes` false, standard input and
  // output are /dev/null as well. `environment` as for RunWithTimeLimit.
  bool Start(const std::vector<std::string>& argv, bool pipes = true,
             const std::vector<std::string>& environment = {});
  bool Running() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }

  // Writes all of `bytes` to the program's input; false when it no longer reads.
  bool Write(std::string_view bytes);
  // The next line the program writes (without its "\n"), waiting until `deadline`. Empty
  // optional when the time is up (TimedOut then says so) or the program closed its output.
  std::optional<std::string> ReadLine(std::chrono::steady_clock::time_point deadline);
  bool TimedOut() const { return timedOut_; }
  // True when the program has ended (it is then reaped and what it left in its group killed);
  // never waits.
  bool Ended();
  // The exit status of a program that Ended by itself; -1 otherwise.
  int ExitCode() const { return exitCode_; }

  // Kills the process group and waits for the program.
  void Stop();

 private:
  pid_t pid_ = -1;
  int in_ = -1;   // the program's standard input
  int out_ = -1;  // the program's standard output
  std::string pending_;
  bool timedOut_ = false;
  int exitCode_ = -1;
  InterruptCleanup cleanup_;
};

// Starts `argv` detached (a new session, its end not waited for or examined); true when it
// could be started.
bool StartDetached(const std::vector<std::string>& argv);

}  // namespace platform
