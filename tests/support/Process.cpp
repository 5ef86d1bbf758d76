#include "support/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "support/Xml.h"

extern char** environ;

namespace testsupport {

namespace {

// A file in the temporary folder, removed when the run is over.
struct ScratchFile {
  ScratchFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vellumor-run-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("cannot make a scratch file");
    close(fd);
    path = pattern;
  }
  ~ScratchFile() { std::remove(path.c_str()); }
  std::string path;
};

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  const std::string path = (std::filesystem::path(VELLUMOR_BIN_DIR) / program).string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  ScratchFile out, err;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.path.c_str(), O_WRONLY | O_TRUNC, 0);
  posix_spawn_file_actions_addopen(&actions, 2, err.path.c_str(), O_WRONLY | O_TRUNC, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + path);

  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for " + path);
  }
  ProgramRun run;
  run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = ReadFile(out.path);
  run.Err = ReadFile(err.path);
  return run;
}

}  // namespace testsupport
