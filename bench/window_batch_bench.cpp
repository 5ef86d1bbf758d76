// A batch of 200 small HTML books through the batch window of the desktop program ("Start" in
// the modal window, offscreen, main window shown), against `vellumor-cli batch -j 1` on the same
// list with the same settings. Both report wall time per batch and CPU time (window_cpu_ms,
// cli_cpu_ms); BM_WindowAgainstCli takes them in turns and gives the ratios. Every book is saved
// with its data flushed to the disk, by both, so a busy disk shows in the wall times.
//
// BM_BatchThroughWindow/1 also watches the window while the batch runs. A 1 ms timer notes the
// longest time in which no events were processed (longest_gap_ms). Each time it fires it also
// moves the mouse over the batch window, unless a move is still waiting: on the offscreen
// platform that queues a mouse move as the window system queues the user's input, which the
// event processing of the core's busy indication leaves waiting; the longest wait until the move
// reaches a widget is longest_input_gap_ms. The watching costs a little, so /0 gives the time
// alone.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/DesktopProgram.h"
#include "batch/ui/BatchWindow.h"
#include "platform/MemoryReuse.h"
#include "platform/WholeFile.h"
#include "support/BookGenerator.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kFiles = 200;
constexpr size_t kBookBytes = 8 * 1024;

// CPU time of the whole process (all its threads), in milliseconds.
double ProcessCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The folder of this binary: the programs and their data files are built there.
std::string BinaryFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

// 200 small books, their list file, an output folder and a settings file that does not exist
// (every setting at its default, for the window and the command line alike).
struct Books {
  Books() {
    if (!dir.isValid()) std::abort();
    const std::string root = dir.path().toStdString();
    out = root + "/out";
    std::filesystem::create_directories(out);
    settings = root + "/none.ini";
    list = root + "/list.txt";
    const std::string book = bench::MakeHtmlBook(kBookBytes);
    std::string listText;
    for (size_t i = 0; i < kFiles; ++i) {
      files.push_back(root + "/book" + std::to_string(i) + ".htm");
      if (platform::WriteFileAtomically(files.back(), book, platform::Durability::Unflushed) != 0)
        std::abort();
      listText += files.back() + "\r\n";
    }
    if (platform::WriteFileAtomically(list, listText, platform::Durability::Unflushed) != 0)
      std::abort();
  }
  size_t Written() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(out),
                                             std::filesystem::directory_iterator()));
  }

  QTemporaryDir dir;
  std::vector<std::string> files;
  std::string out, list, settings;
};

// Messages are counted, the folder dialog is never needed ("Save to:" names the folder).
class CountingDialogs : public app::ui::ModalDialogs {
 public:
  void Message(const QString&, const QString&) override { ++Messages; }
  QString OpenFile(const QString&, const QStringList&, const QString&) override { return {}; }
  QString SaveFile(const QString&, const QStringList&, const QString&, const QString&) override {
    return {};
  }
  QString Folder(const QString&, const QString&) override { return {}; }
  bool EditBookInfo(fb2meta::BookInfo&) override { return true; }
  std::string PickGenres(std::string_view genres) override { return std::string(genres); }
  int Messages = 0;
};

// Tells of every mouse move the application delivers.
class MouseMoveWatch : public QObject {
 public:
  explicit MouseMoveWatch(std::function<void()> seen) : seen_(std::move(seen)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseMove) seen_();
    return false;
  }

 private:
  std::function<void()> seen_;
};

struct Timing {
  double WallMs = 0;
  double CpuMs = 0;
};

// The desktop program with the books in its batch window's list; each Run presses "Start" in
// the modal window and closes it when the batch is over.
class WindowBatch {
 public:
  // `watch`: the event and input watchers run during the batch.
  WindowBatch(const Books& books, bool watch) : books_(books), watch_(watch) {
    app::ui::DesktopOptions options;
    options.ProgramFolder = BinaryFolder();
    options.SettingsPath = books.settings;
    auto dialogs = std::make_unique<CountingDialogs>();
    said_ = dialogs.get();
    options.Dialogs = std::move(dialogs);
    program_ = std::make_unique<app::ui::DesktopProgram>(std::move(options));
    program_->Show();
    QApplication::processEvents();
    window_ = &program_->BatchWindow();
    window_->SetOutputFolder(books.out);
    start_ = window_->findChild<QPushButton*>(QStringLiteral("ButStart"));

    ticker_.setTimerType(Qt::PreciseTimer);
    ticker_.setInterval(1);
    QObject::connect(&ticker_, &QTimer::timeout, [this] { Tick(); });
    if (watch_) {
      QApplication::instance()->installEventFilter(&inputSeen_);
      // The moves go to the topmost window under the pointer on this platform: the main window,
      // which the modal batch window blocks, must not be under it.
      program_->Window().move(-4000, -4000);
    }
  }

  Timing Run() {
    program_->Session().BatchList.Entries() = books_.files;
    window_->ShowList();
    Timing timing;
    QTimer::singleShot(0, [&] {
      lastEvent_ = Clock::now();
      moveWaiting_ = false;
      if (watch_) ticker_.start();
      const double cpuBefore = ProcessCpuMilliseconds();
      const Clock::time_point began = Clock::now();
      start_->click();
      const Clock::time_point ended = Clock::now();
      timing.WallMs = Milliseconds(ended - began);
      timing.CpuMs = ProcessCpuMilliseconds() - cpuBefore;
      if (watch_) {
        ticker_.stop();
        longestEvent_ = std::max(longestEvent_, ended - lastEvent_);
        if (moveWaiting_) longestInput_ = std::max(longestInput_, ended - moveQueued_);
      }
      window_->reject();
    });
    program_->Window().Command("Act_BatchWindow")->trigger();  // the modal window, until closed
    return timing;
  }

  bool AllDone() const {
    const std::vector<std::string>& entries = program_->Session().BatchList.Entries();
    const auto done = std::count_if(entries.begin(), entries.end(), [](const std::string& entry) {
      return entry.rfind("Done: ", 0) == 0;
    });
    return static_cast<size_t>(done) == kFiles && books_.Written() == kFiles &&
           said_->Messages == 0;
  }
  void Report(benchmark::State& state) const {
    state.counters["input_probes"] = moves_;
    state.counters["longest_gap_ms"] = Milliseconds(longestEvent_);
    state.counters["longest_input_gap_ms"] = Milliseconds(longestInput_);
  }

 private:
  // Any event processed: the timer fired. Then a mouse move is queued, unless one still waits.
  void Tick() {
    const Clock::time_point now = Clock::now();
    longestEvent_ = std::max(longestEvent_, now - lastEvent_);
    lastEvent_ = now;
    if (moveWaiting_) return;
    moveWaiting_ = true;
    moveQueued_ = now;
    QCursor::setPos(window_->mapToGlobal(QPoint(40 + (++moves_ % 2) * 10, 60)));
  }
  void MoveSeen() {
    if (!moveWaiting_) return;
    moveWaiting_ = false;
    longestInput_ = std::max(longestInput_, Clock::now() - moveQueued_);
  }

  const Books& books_;
  bool watch_;
  CountingDialogs* said_ = nullptr;
  std::unique_ptr<app::ui::DesktopProgram> program_;
  batch::ui::BatchWindow* window_ = nullptr;
  QPushButton* start_ = nullptr;
  QTimer ticker_;
  MouseMoveWatch inputSeen_{[this] { MoveSeen(); }};
  Clock::time_point lastEvent_, moveQueued_;
  Clock::duration longestEvent_{}, longestInput_{};
  bool moveWaiting_ = false;
  int moves_ = 0;
};

// `vellumor-cli batch -j 1` over the books' list file, one process per Run: start-up included,
// as a user sees it.
class CliBatch {
 public:
  explicit CliBatch(const Books& books)
      : books_(books), cli_(BinaryFolder() + "/vellumor-cli"), args_{cli_,         "batch",
                                                                     "-j",         "1",
                                                                     "-o",         books.out,
                                                                     "--list",     books.list,
                                                                     "--settings", books.settings} {
    for (std::string& arg : args_) argv_.push_back(arg.data());
    argv_.push_back(nullptr);
    posix_spawn_file_actions_init(&quiet_);
    posix_spawn_file_actions_addopen(&quiet_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }
  ~CliBatch() { posix_spawn_file_actions_destroy(&quiet_); }
  CliBatch(const CliBatch&) = delete;
  CliBatch& operator=(const CliBatch&) = delete;

  // Nothing when the program could not run or did not convert every book.
  std::optional<Timing> Run() {
    const Clock::time_point began = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, cli_.c_str(), &quiet_, nullptr, argv_.data(), environ) != 0) return {};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Timing timing;
    timing.WallMs = Milliseconds(Clock::now() - began);
    timing.CpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || books_.Written() != kFiles) return {};
    return timing;
  }

 private:
  const Books& books_;
  std::string cli_;
  std::vector<std::string> args_;
  std::vector<char*> argv_;
  posix_spawn_file_actions_t quiet_{};
};

void BM_BatchThroughWindow(benchmark::State& state) {
  const bool watch = state.range(0) != 0;
  Books books;
  WindowBatch window(books, watch);
  double cpu = 0;
  for (auto _ : state) {
    const Timing timing = window.Run();
    state.SetIterationTime(timing.WallMs / 1e3);
    cpu += timing.CpuMs;
  }
  if (!window.AllDone()) state.SkipWithError("not every book was converted quietly");
  state.counters["files"] = static_cast<double>(kFiles);
  state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
  if (watch) window.Report(state);
}
BENCHMARK(BM_BatchThroughWindow)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_CliBatchOneJob(benchmark::State& state) {
  Books books;
  CliBatch cli(books);
  double cpu = 0;
  for (auto _ : state) {
    const std::optional<Timing> timing = cli.Run();
    if (!timing) {
      state.SkipWithError("the command line did not convert every book");
      break;
    }
    state.SetIterationTime(timing->WallMs / 1e3);
    cpu += timing->CpuMs;
  }
  state.counters["files"] = static_cast<double>(kFiles);
  state.counters["cli_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CliBatchOneJob)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The two taken in turns on the same books, so that both meet the same machine: the ratios of
// their summed wall and CPU times. The time shown is the window's.
void BM_WindowAgainstCli(benchmark::State& state) {
  Books books;
  WindowBatch window(books, false);
  CliBatch cli(books);
  Timing windowSum, cliSum;
  for (auto _ : state) {
    const Timing byWindow = window.Run();
    const std::optional<Timing> byCli = cli.Run();
    if (!byCli) {
      state.SkipWithError("the command line did not convert every book");
      break;
    }
    state.SetIterationTime(byWindow.WallMs / 1e3);
    windowSum.WallMs += byWindow.WallMs;
    windowSum.CpuMs += byWindow.CpuMs;
    cliSum.WallMs += byCli->WallMs;
    cliSum.CpuMs += byCli->CpuMs;
  }
  if (!window.AllDone()) state.SkipWithError("not every book was converted quietly");
  const auto n = static_cast<double>(state.iterations());
  state.counters["window_ms"] = windowSum.WallMs / n;
  state.counters["cli_ms"] = cliSum.WallMs / n;
  state.counters["wall_ratio"] = windowSum.WallMs / cliSum.WallMs;
  state.counters["cpu_ratio"] = windowSum.CpuMs / cliSum.CpuMs;
}
BENCHMARK(BM_WindowAgainstCli)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("VELLUMOR_CODEPAGE", "1251", 0);  // the books are Russian, read as a Russian system does
  platform::KeepFreedMemoryForReuse();     // as the programs run
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
