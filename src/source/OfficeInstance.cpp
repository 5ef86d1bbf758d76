#include "source/OfficeInstance.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/Paths.h"

namespace source {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The exit status with which LibreOffice asks to be started again: after it made a new profile.
constexpr int kRestartRequested = 81;

// The filter of the HTML export, the same for both ways of running LibreOffice.
constexpr const char* kHtmlFilter = "HTML (StarWriter)";

// The bridge's driver: connects to LibreOffice over the pipe named by its first argument, says
// "ready", then for every line "<input>\t<output>" loads the document hidden, read-only and with
// its macros off, stores it as HTML and answers "ok" or "error\t<why>". Says "nobridge" and ends
// when LibreOffice's Python modules are missing.
constexpr const char* kDriver = R"PY(
import sys, time
sys.path.append(sys.argv[2])
try:
    import uno
    from com.sun.star.beans import PropertyValue
    from com.sun.star.connection import NoConnectException
except Exception:
    print("nobridge", flush=True)
    sys.exit(3)

def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p

local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext(
    "com.sun.star.bridge.UnoUrlResolver", local)
url = "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % sys.argv[1]
while True:
    try:
        context = resolver.resolve(url)
        break
    except NoConnectException:
        time.sleep(0.02)
desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
print("ready", flush=True)
load = (prop("Hidden", True), prop("ReadOnly", True), prop("MacroExecutionMode", 0),
        prop("UpdateDocMode", 0))
store = (prop("FilterName", sys.argv[3]), prop("Overwrite", True))
for line in sys.stdin:
    source, target = line.rstrip("\n").split("\t")
    try:
        document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(source), "_blank", 0, load)
        if document is None:
            print("error\tthe document could not be opened", flush=True)
            continue
        try:
            document.storeToURL(uno.systemPathToFileUrl(target), store)
        finally:
            document.close(True)
        print("ok", flush=True)
    except Exception as failure:
        text = " ".join(str(getattr(failure, "Message", "") or failure).split())
        print("error\t" + (text or type(failure).__name__), flush=True)
)PY";

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

ExportResult Failed(std::string reason, bool timedOut = false) {
  ExportResult result;
  result.Reason = std::move(reason);
  result.TimedOut = timedOut;
  return result;
}

ExportResult Succeeded() {
  ExportResult result;
  result.Ok = true;
  return result;
}

ExportResult TimedOut(const std::string& program, milliseconds limit) {
  return Failed(Quoted(program) + " timed out after " + DurationText(limit), true);
}

std::string ProfileArgument(const std::string& profile) {
  return "-env:UserInstallation=file://" + PercentEncode(fs::absolute(profile).string());
}

std::string HtmlNameFor(const std::string& input) {
  return fs::path(input).stem().string() + ".html";
}

bool IsExecutable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The Python with LibreOffice's bridge: the one a LibreOffice installation brings in its program
// folder, then the system's (a Python of the user's, such as a virtual environment, lacks the
// system's modules), then python3 on PATH.
std::string PythonFor(const WordBridgeOptions& options, const std::string& binary) {
  if (!options.Python.empty()) return platform::FindOnPath(options.Python);
  const std::string bundled = (fs::path(binary).parent_path() / "python").string();
  if (IsExecutable(bundled)) return bundled;
  if (IsExecutable("/usr/bin/python3")) return "/usr/bin/python3";
  return platform::FindOnPath("python3");
}

}  // namespace

std::string DurationText(milliseconds limit) {
  if (limit.count() % 1000 == 0) return std::to_string(limit.count() / 1000) + " s";
  return std::to_string(limit.count()) + " ms";
}

std::string OfficeBinary(const std::string& program) {
  const std::string found = platform::FindOnPath(program);
  if (found.empty()) return {};
  std::error_code ec;
  const fs::path real = fs::canonical(found, ec);
  if (ec) return found;
  if (real.filename() == "soffice.bin") return real.string();
  const fs::path beside = real.parent_path() / "soffice.bin";
  return IsExecutable(beside.string()) ? beside.string() : found;
}

ExportResult ExportOnce(const WordBridgeOptions& options, const std::string& input,
                        const std::string& outFolder, const std::string& profile,
                        const std::string& temp) {
  const std::string program = platform::FindOnPath(options.Program);
  if (program.empty()) return Failed("program " + Quoted(options.Program) + " not found");
  const std::string binary = OfficeBinary(options.Program);
  const auto deadline = Clock::now() + options.TimeLimit;
  platform::RunOutcome run;
  // A new profile makes LibreOffice ask for a restart once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto left = std::max(milliseconds(0),
                               std::chrono::duration_cast<milliseconds>(deadline - Clock::now()));
    run = platform::RunWithTimeLimit(
        {binary, ProfileArgument(profile), "--headless", "--invisible", "--nologo", "--nodefault",
         "--norestore", "--nolockcheck", "--convert-to", std::string("html:") + kHtmlFilter,
         "--outdir", outFolder, input},
        left, {"TMPDIR=" + temp});
    if (run.ExitCode != kRestartRequested) break;
  }
  if (!run.Started) return Failed(Quoted(program) + " could not be started");
  if (run.TimedOut) return TimedOut(program, options.TimeLimit);
  if (run.ExitCode < 0) return Failed(Quoted(program) + " ended abnormally");
  if (run.ExitCode != 0)
    return Failed(Quoted(program) + " ended with exit status " + std::to_string(run.ExitCode));
  if (!fs::is_regular_file(fs::path(outFolder) / HtmlNameFor(input)))
    return Failed(Quoted(program) + " wrote no HTML");
  return Succeeded();
}

std::string KeptProfileFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && *cache == '/') return std::string(cache) + "/vellumor/libreoffice";
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return std::string(home) + "/.cache/vellumor/libreoffice";
  return {};
}

KeptProfile::KeptProfile() {
  const std::string folder = KeptProfileFolder();
  if (folder.empty()) return;
  std::error_code ec;
  fs::create_directories(fs::path(folder).parent_path(), ec);
  if (ec) return;
  // Two runs at once would share the profile, and the second LibreOffice would hand its work
  // to the first: the lock gives the second run a profile of its own.
  lock_ = open((folder + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_ < 0) return;
  if (flock(lock_, LOCK_EX | LOCK_NB) != 0) {
    close(lock_);
    lock_ = -1;
    return;
  }
  path_ = folder;
}

KeptProfile::~KeptProfile() {
  if (lock_ >= 0) close(lock_);
}

void KeptProfile::Discard() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
}

namespace {

// Removes the listener pipes that LibreOffice instances of runs killed outright (no cleanup ran)
// left in /tmp: "OSL_PIPE_<uid>_vellumor-<pid>-..." of a process that is gone.
void RemoveAbandonedPipes() {
  const std::string prefix = "OSL_PIPE_" + std::to_string(getuid()) + "_vellumor-";
  std::error_code ec;
  for (fs::directory_iterator it("/tmp", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    const long pid = std::atol(name.c_str() + prefix.size());
    if (pid <= 0 || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    std::error_code ignored;
    if (it->is_socket(ignored)) fs::remove(it->path(), ignored);
  }
}

}  // namespace

OfficeInstance::OfficeInstance(WordBridgeOptions options) : options_(std::move(options)) {
  RemoveAbandonedPipes();
}

OfficeInstance::~OfficeInstance() {
  Stop();
}

void OfficeInstance::Stop() {
  driver_.Stop();
  office_.Stop();
  if (!socket_.empty()) {
    std::error_code ec;
    fs::remove(socket_, ec);
    socket_.clear();
  }
  socketCleanup_.Release();
}

OfficeInstance::Start OfficeInstance::StartListener(Clock::time_point deadline,
                                                    std::string& reason) {
  const std::string python = PythonFor(options_, binary_);
  if (python.empty()) return Start::NoBridge;
  const std::string pipe = "vellumor-" + std::to_string(getpid()) + "-" +
                           std::to_string(++started_) + "-" +
                           fs::path(scratch_.Path()).parent_path().filename().string();
  const std::vector<std::string> officeArgs = {
      binary_,
      ProfileArgument(profile_),
      "--headless",
      "--invisible",
      "--nologo",
      "--nodefault",
      "--norestore",
      "--nolockcheck",
      "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext"};
  // LibreOffice makes the pipe as a socket in /tmp, named after the user's id and the name.
  socket_ = "/tmp/OSL_PIPE_" + std::to_string(getuid()) + "_" + pipe;
  socketCleanup_ = platform::InterruptCleanup::File(socket_);
  const std::vector<std::string> environment = {"TMPDIR=" + temp_};
  if (!office_.Start(officeArgs, false, environment)) {
    reason = Quoted(binary_) + " could not be started";
    return Start::Failed;
  }
  if (!driver_.Start(
          {python, "-c", kDriver, pipe, fs::path(binary_).parent_path().string(), kHtmlFilter})) {
    office_.Stop();
    return Start::NoBridge;
  }
  int restarts = 0;
  for (;;) {
    // Short waits, so that a LibreOffice that ends meanwhile is noticed.
    const auto slice = std::min(deadline, Clock::now() + milliseconds(100));
    const std::optional<std::string> line = driver_.ReadLine(slice);
    if (line == "ready") return Start::Ready;
    if (line || !driver_.TimedOut()) {
      // "nobridge", or the driver could not run at all.
      Stop();
      return Start::NoBridge;
    }
    if (Clock::now() >= deadline) {
      Stop();
      reason = "timed out";
      return Start::Failed;
    }
    if (office_.Ended()) {
      if (office_.ExitCode() == kRestartRequested && restarts++ < 2 &&
          office_.Start(officeArgs, false, environment))
        continue;
      Stop();
      reason = Quoted(binary_) + " ended before it could be reached";
      return Start::Failed;
    }
  }
}

ExportResult OfficeInstance::Export(const std::string& input, const std::string& outFolder) {
  const std::string program = platform::FindOnPath(options_.Program);
  if (program.empty()) return Failed("program " + Quoted(options_.Program) + " not found");
  if (profile_.empty()) {
    profile_ = scratch_.FilePath("profile");
    temp_ = scratch_.FilePath("tmp");
    std::error_code ec;
    fs::create_directory(temp_, ec);
    binary_ = OfficeBinary(options_.Program);
    // Only a LibreOffice installation (soffice.bin) listens; anything else runs per document.
    if (fs::path(binary_).filename() != "soffice.bin") noBridge_ = true;
  }
  if (noBridge_) return ExportOnce(options_, input, outFolder, profile_, temp_);

  const auto deadline = Clock::now() + options_.TimeLimit;
  if (!office_.Running() || !driver_.Running()) {
    std::string reason;
    switch (StartListener(deadline, reason)) {
      case Start::Ready:
        break;
      case Start::NoBridge:
        noBridge_ = true;
        return ExportOnce(options_, input, outFolder, profile_, temp_);
      case Start::Failed:
        if (reason == "timed out") return TimedOut(program, options_.TimeLimit);
        return Failed(std::move(reason));
    }
  }
  const std::string target = (fs::path(outFolder) / HtmlNameFor(input)).string();
  if (input.find_first_of("\t\n") != std::string::npos ||
      target.find_first_of("\t\n") != std::string::npos)
    return ExportOnce(options_, input, outFolder, profile_, temp_);
  if (!driver_.Write(input + "\t" + target + "\n")) {
    Stop();
    return Failed(Quoted(program) + " ended abnormally");
  }
  const std::optional<std::string> answer = driver_.ReadLine(deadline);
  if (!answer) {
    const bool timedOut = driver_.TimedOut();
    // Whatever state LibreOffice is in, the next document gets a fresh one.
    Stop();
    if (timedOut) return TimedOut(program, options_.TimeLimit);
    return Failed(Quoted(program) + " ended abnormally");
  }
  if (answer->rfind("error\t", 0) == 0) {
    // A LibreOffice that crashed on the document is not used again.
    if (office_.Ended()) Stop();
    return Failed(Quoted(program) + " could not export the document: " + answer->substr(6));
  }
  if (*answer != "ok") {
    Stop();
    return Failed(Quoted(program) + " gave an unexpected answer");
  }
  if (!fs::is_regular_file(target)) return Failed(Quoted(program) + " wrote no HTML");
  return Succeeded();
}

}  // namespace source
