// vellumor-cli batch -o DIR [--list FILE] [FILE...]: the batch window's "Start" without dialogs.
// Every entry is converted into DIR and printed with its new text ("Done: ..." or "Error: ...")
// in list order. With -j N, N worker processes convert at once, each with its own Session.

#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <numeric>
#include <optional>
#include <set>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "batch/BatchStart.h"
#include "batch/ConversionList.h"
#include "cli/Commands.h"
#include "cli/RunOptions.h"
#include "fb2meta/Genres.h"
#include "platform/CodePage.h"
#include "platform/Interrupts.h"
#include "source/ExportNames.h"

namespace cli {
// Splits the entries among at most `jobs` workers. Entries that may write one file go to one
// worker in list order, so that each gets the name it gets in one sequential run: entries of one
// output name, and when a name is shared (the later entries then get numbered names, see
// batch::UnusedOutputPath), every entry whose name is that name with numbered endings ("x.fb2"
// shared: "x_2.fb2", "x_2_3.fb2"). Names that no entry shares never number, so "ch_1", "ch_2",
// ... spread over the workers. So do entries that would export a word-processor document under
// the same name. Each share is in list order.
std::vector<std::vector<size_t>> SplitBatchEntries(const std::vector<std::string>& entries,
                                                   const std::string& folder, size_t jobs) {
  std::vector<size_t> group(entries.size());
  std::iota(group.begin(), group.end(), size_t{0});
  const std::function<size_t(size_t)> root = [&](size_t i) {
    return group[i] == i ? i : group[i] = root(group[i]);
  };
  std::vector<std::string> outputs;
  std::set<std::string> seen, shared;
  for (const std::string& entry : entries) {
    outputs.push_back(batch::OutputPath(entry, folder));
    if (!seen.insert(outputs.back()).second) shared.insert(outputs.back());
  }
  // The shortest shared name that the output is, or becomes without numbered endings.
  const auto chainOf = [&shared](const std::string& output) {
    std::string key = output;
    for (std::string name = output;;) {
      if (shared.contains(name)) key = name;
      const std::string shorter = batch::WithoutNumberEnding(name);
      if (shorter == name) return key;
      name = shorter;
    }
  };
  std::map<std::string, size_t> firstWith;
  for (size_t i = 0; i < entries.size(); ++i) {
    for (const std::string& key :
         {chainOf(outputs[i]), source::WordExportName(entries[i], 0).Html}) {
      const auto [it, added] = firstWith.emplace(key, i);
      if (!added) group[root(i)] = root(it->second);
    }
  }
  // Groups in the order of their first entry, each to the worker with the fewest entries so far.
  std::vector<std::vector<size_t>> shares(std::min(jobs, entries.size()));
  std::map<size_t, size_t> workerOf;  // group root -> worker
  for (size_t i = 0; i < entries.size(); ++i) {
    const size_t g = root(i);
    auto found = workerOf.find(g);
    if (found == workerOf.end()) {
      size_t least = 0;
      for (size_t w = 1; w < shares.size(); ++w)
        if (shares[w].size() < shares[least].size()) least = w;
      found = workerOf.emplace(g, least).first;
    }
    shares[found->second].push_back(i);
  }
  std::erase_if(shares, [](const std::vector<size_t>& s) { return s.empty(); });
  return shares;
}

namespace {

struct BatchArgs {
  std::string OutDir;
  std::string ListFile;
  std::vector<std::string> Files;
  int Jobs = 1;
  RunOptions Run;
};

// Told the list index, the line to print for each entry, why it failed and its exit status
// (kExitOk, kExitFailed, or kExitWriteFailed when the book could not be saved) once handled.
using Report = std::function<void(size_t index, const std::string& line, const std::string& reason,
                                  int status)>;

// An "Error: " line: the code, the reason in words and the entry.
std::string ErrorLine(const std::string& entry, int code, const std::string& why) {
  // The line names the entry already: "Cannot open file \"<entry>\". " says nothing more.
  std::string words = why;
  const std::string cannotOpen = "Cannot open file \"" + entry + "\". ";
  if (words.starts_with(cannotOpen)) words.erase(0, cannotOpen.size());
  if (words.empty() && code != 0) words = std::strerror(code);
  std::replace_if(
      words.begin(), words.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  if (words.empty()) words = "conversion failed";
  return "Error: " + std::to_string(code) + " (" + words + "): " + entry;
}

// The options that describe one book; a batch makes many.
void RefuseOneBookOptions(const RunOptions& run) {
  const std::pair<bool, const char*> oneBook[] = {
      {run.Answers.Title.has_value(), "--title"},
      {!run.Authors.empty(), "--author"},
      {run.Answers.DocumentId.has_value(), "--id"},
      {run.Answers.CoverImagePath.has_value(), "--cover"}};
  for (const auto& [given, name] : oneBook) {
    if (given) {
      throw InputError(std::string(name) +
                       " describes one book and cannot be given to a batch, whose books each "
                       "take their title from the file name and get a new id");
    }
  }
}

// The entries of the run: the list file's lines as they are, then the FILE arguments.
std::vector<std::string> BatchEntries(const BatchArgs& args) {
  batch::ConversionList list;
  if (!args.ListFile.empty()) {
    const std::string text = ReadInputFile(args.ListFile);
    list.LoadFromText(std::string_view(text).substr(0, text.find('\0')));
  }
  std::vector<std::string> entries = list.Entries();
  entries.insert(entries.end(), args.Files.begin(), args.Files.end());
  return entries;
}

// Converts the entries `share` (indexes into `entries`, in list order) through one Session of its
// own, as "Start" does, and reports each outcome.
void RunShare(const BatchArgs& args, const std::vector<std::string>& entries,
              const std::vector<size_t>& share, const Report& report) {
  CliUserInterface ui;
  ui.Answers = BookInfoAnswersFor(args.Run);
  app::PlainTextEditor sourceEditor, resultEditor;
  app::Session session(ui, sourceEditor, resultEditor, ProgramFolder(), SettingsFileFor(args.Run));
  LoadRunSettings(session, args.Run);
  session.WriteBackSettings = false;  // the settings file is only read
  // The options fill every book's information, the dialog staying closed as in any batch.
  session.BatchBookInfo = [&ui](fb2meta::BookInfo& info) { ui.EditBookInfo(info); };
  session.Settings().BatchOutputFolder = args.OutDir;
  for (size_t index : share) session.BatchList.Entries().push_back(entries[index]);

  batch::StartBatch(session.BatchList, session.Settings().BatchOutputFolder, ui,
                    session.BatchStartSteps(),
                    [&](size_t i, const std::string& line, const batch::FileOutcome& outcome) {
                      const std::string& entry = entries[share[i]];
                      if (!outcome.Done) {
                        report(share[i], ErrorLine(entry, outcome.ErrorCode, outcome.Reason),
                               outcome.Reason, kExitFailed);
                      } else if (outcome.Written.empty()) {
                        // The save said why on stderr; the book is not in the folder.
                        report(share[i], ErrorLine(entry, 0, "the book could not be written"), {},
                               kExitWriteFailed);
                      } else {
                        report(share[i], line, {}, kExitOk);
                      }
                    });
}

// Prints the outcomes in list order as they become known, the reason of each failure on stderr,
// with a progress line on stderr when it is a terminal.
class OutcomePrinter {
 public:
  OutcomePrinter(const std::vector<std::string>& entries, bool progress)
      : entries_(entries), outcomes_(entries.size()), progress_(progress) {}

  void Add(size_t index, const std::string& line, const std::string& reason, int status) {
    if (index >= outcomes_.size() || outcomes_[index]) return;
    outcomes_[index] = Outcome{line, reason, status};
    ++known_;
    if (progress_) std::cerr << "\r\033[K" << std::flush;
    while (next_ < outcomes_.size() && outcomes_[next_]) {
      Print(entries_[next_], *outcomes_[next_]);
      ++next_;
    }
    std::cout.flush();
    if (progress_) {
      std::cerr << known_ << " of " << outcomes_.size() << (known_ == outcomes_.size() ? "\n" : "")
                << std::flush;
    }
  }
  // Entries never reported (a worker that died) count as failed.
  void FinishMissing() {
    for (size_t i = 0; i < outcomes_.size(); ++i) {
      if (!outcomes_[i]) {
        Add(i, ErrorLine(entries_[i], 0, "its worker ended before it"),
            "its worker ended before it", kExitFailed);
      }
    }
  }
  // kExitWriteFailed when a book could not be saved, else kExitFailed when any entry failed.
  int ExitStatus() const { return status_; }

 private:
  struct Outcome {
    std::string Line;  // the entry's line
    std::string Reason;
    int Status = kExitOk;
  };

  void Print(const std::string& entry, const Outcome& outcome) {
    if (outcome.Status != kExitOk) {
      if (status_ != kExitWriteFailed) status_ = outcome.Status;
      if (!outcome.Reason.empty()) {
        std::cerr << "vellumor-cli: "
                  << MessageForTerminal(entry + ": " + outcome.Reason, platform::LocaleName(),
                                        platform::SystemCodePageNumber())
                  << "\n";
      }
    }
    std::cout << outcome.Line << "\n";
  }

  const std::vector<std::string>& entries_;
  std::vector<std::optional<Outcome>> outcomes_;
  bool progress_;
  size_t known_ = 0;
  size_t next_ = 0;
  int status_ = kExitOk;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// A worker process: converts its share, sends records of four fields each ended by a NUL byte
// (no path holds one): the index, the entry's line, the reason of a failure and the entry's exit
// status; and leaves
// with _exit once its Session is gone, so that nothing of the parent (atexit handlers, stdio
// buffers) runs a second time.
[[noreturn]] void RunWorker(const BatchArgs& args, const std::vector<std::string>& entries,
                            const std::vector<size_t>& share, int fd) {
  // A parent that is gone makes the write fail; the worker then stops and still cleans up.
  std::signal(SIGPIPE, SIG_IGN);
  int status = kExitOk;
  try {
    RunShare(
        args, entries, share,
        [fd](size_t index, const std::string& line, const std::string& reason, int entryStatus) {
          std::string record = std::to_string(index);
          const std::string statusText = std::to_string(entryStatus);
          for (const std::string* field : {&line, &reason, &statusText}) {
            record.push_back('\0');
            record.append(*field);
          }
          record.push_back('\0');
          if (!WriteAll(fd, record))
            throw std::runtime_error("cannot report to the parent process");
        });
  } catch (const std::exception& failure) {
    std::cerr << "vellumor-cli: " << failure.what() << "\n";
    status = kExitFailed;
  } catch (...) {
    status = kExitFailed;
  }
  std::cerr.flush();
  close(fd);
  _exit(status);
}

struct Worker {
  pid_t Pid = -1;
  int Fd = -1;
  std::string Pending;  // bytes of a record not yet complete
};

// Takes the complete records out of the worker's pending bytes.
void TakeRecords(Worker& worker, OutcomePrinter& printer) {
  for (;;) {
    std::string fields[4];
    size_t at = 0;
    for (std::string& field : fields) {
      const size_t end = worker.Pending.find('\0', at);
      if (end == std::string::npos) return;
      field = worker.Pending.substr(at, end - at);
      at = end + 1;
    }
    worker.Pending.erase(0, at);
    printer.Add(std::stoul(fields[0]), fields[1], fields[2], std::stoi(fields[3]));
  }
}

void RunInWorkers(const BatchArgs& args, const std::vector<std::string>& entries,
                  const std::vector<std::vector<size_t>>& shares, OutcomePrinter& printer) {
  // Nothing buffered may be written twice, by the parent and by a worker.
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::vector<Worker> workers;
  // An interrupt of this process reaches the workers, which clean up their own LibreOffice and
  // files before this process ends.
  std::vector<platform::InterruptCleanup> forwardInterrupts;
  const pid_t parent = getpid();
  for (const std::vector<size_t>& share : shares) {
    int fds[2];
    if (pipe(fds) != 0) throw InputError(std::string("cannot make a pipe: ") + strerror(errno));
    const pid_t pid = fork();
    if (pid < 0) throw InputError(std::string("cannot start a worker: ") + strerror(errno));
    if (pid == 0) {
      platform::ForgetInheritedCleanup();
      // A parent that ends, even killed, ends the worker as an interrupt would.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent) _exit(kExitFailed);
      close(fds[0]);
      for (const Worker& other : workers) close(other.Fd);
      RunWorker(args, entries, share, fds[1]);
    }
    forwardInterrupts.push_back(platform::InterruptCleanup::ChildProcess(pid));
    close(fds[1]);
    workers.push_back({pid, fds[0], {}});
  }

  size_t open = workers.size();
  while (open > 0) {
    std::vector<pollfd> polled;
    for (const Worker& worker : workers)
      if (worker.Fd >= 0) polled.push_back({worker.Fd, POLLIN, 0});
    if (poll(polled.data(), polled.size(), -1) < 0) {
      if (errno == EINTR) continue;
      throw InputError(std::string("cannot wait for the workers: ") + strerror(errno));
    }
    for (Worker& worker : workers) {
      if (worker.Fd < 0) continue;
      const auto it = std::find_if(polled.begin(), polled.end(),
                                   [&](const pollfd& p) { return p.fd == worker.Fd; });
      if (it == polled.end() || it->revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(worker.Fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n > 0) {
        worker.Pending.append(buffer, static_cast<size_t>(n));
        TakeRecords(worker, printer);
        continue;
      }
      close(worker.Fd);
      worker.Fd = -1;
      --open;
    }
  }
  for (const Worker& worker : workers) {
    int status = 0;
    while (waitpid(worker.Pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
      std::cerr << "vellumor-cli: a worker ended by signal " << WTERMSIG(status) << "\n";
  }
}

int RunBatch(BatchArgs& args) {
  if (args.ListFile.empty() && args.Files.empty())
    throw InputError("nothing to convert: name FILEs or --list FILE");
  RefuseOneBookOptions(args.Run);
  CheckBookOptions(args.Run, fb2meta::ReadGenreFile(GenreFilePath()));
  std::error_code ec;
  if (args.OutDir.empty() || !std::filesystem::is_directory(args.OutDir, ec))
    throw InputError("Dir " + args.OutDir + " not found ");
  const std::vector<std::string> entries = BatchEntries(args);
  ApplyCodePageOption(args.Run);

  if (args.Run.Answers.Genres.empty()) std::cerr << "vellumor-cli: " << kNoGenreWarning << "\n";

  OutcomePrinter printer(entries, isatty(STDERR_FILENO) == 1);
  const std::vector<std::vector<size_t>> shares =
      SplitBatchEntries(entries, args.OutDir, static_cast<size_t>(args.Jobs));
  if (shares.size() <= 1) {
    // One share is the whole list in its order: run here, exactly as "Start" runs.
    if (!shares.empty()) {
      RunShare(args, entries, shares[0],
               [&](size_t index, const std::string& line, const std::string& reason, int status) {
                 printer.Add(index, line, reason, status);
               });
    }
  } else {
    RunInWorkers(args, entries, shares, printer);
  }
  printer.FinishMissing();
  CheckStandardOutput();
  return printer.ExitStatus();
}

}  // namespace

void RegisterBatchCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand(
      "batch", "Convert every FILE and every line of the --list file into the folder DIR");
  auto args = std::make_shared<BatchArgs>();
  cmd->add_option("-o,--output", args->OutDir, "Output folder")->required();
  cmd->add_option("--list", args->ListFile, "List file: one source path per line");
  cmd->add_option("FILE", args->Files, "Source documents, after the list file's entries");
  cmd->add_option("-j,--jobs", args->Jobs, "Files converted at once (worker processes)")
      ->check(CLI::PositiveNumber);
  AddRunOptions(*cmd, args->Run);
  cmd->callback([args, &exitCode] { exitCode = RunBatch(*args); });
}

}  // namespace cli
