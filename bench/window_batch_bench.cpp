// A batch of 200 small HTML books through the batch window of the desktop program ("Start" in
// the modal window, offscreen, main window shown), against `vellumor-cli batch -j 1` on the same
// list with the same settings. Both report wall time per batch.
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

void BM_BatchThroughWindow(benchmark::State& state) {
  const bool watch = state.range(0) != 0;
  Books books;
  app::ui::DesktopOptions options;
  options.ProgramFolder = BinaryFolder();
  options.SettingsPath = books.settings;
  auto dialogs = std::make_unique<CountingDialogs>();
  CountingDialogs& said = *dialogs;
  options.Dialogs = std::move(dialogs);
  app::ui::DesktopProgram program(std::move(options));
  program.Show();
  QApplication::processEvents();
  batch::ui::BatchWindow& window = program.BatchWindow();
  window.SetOutputFolder(books.out);
  auto* start = window.findChild<QPushButton*>(QStringLiteral("ButStart"));

  // The watchers.
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  ticker.setInterval(1);
  Clock::time_point lastEvent, moveQueued;
  Clock::duration longestEvent{}, longestInput{};
  bool moveWaiting = false;
  int moves = 0;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    longestEvent = std::max(longestEvent, now - lastEvent);
    lastEvent = now;
    if (moveWaiting) return;
    moveWaiting = true;
    moveQueued = now;
    QCursor::setPos(window.mapToGlobal(QPoint(40 + (++moves % 2) * 10, 60)));
  });
  MouseMoveWatch inputSeen([&] {
    if (!moveWaiting) return;
    moveWaiting = false;
    longestInput = std::max(longestInput, Clock::now() - moveQueued);
  });
  if (watch) {
    QApplication::instance()->installEventFilter(&inputSeen);
    // The moves go to the topmost window under the pointer on this platform: the main window,
    // which the modal batch window blocks, must not be under it.
    program.Window().move(-4000, -4000);
  }

  size_t done = 0;
  double cpu = 0;
  for (auto _ : state) {
    program.Session().BatchList.Entries() = books.files;
    window.ShowList();
    Clock::duration elapsed{};
    QTimer::singleShot(0, [&] {
      lastEvent = Clock::now();
      moveWaiting = false;
      if (watch) ticker.start();
      const double cpuBefore = ProcessCpuMilliseconds();
      const Clock::time_point began = Clock::now();
      start->click();
      const Clock::time_point ended = Clock::now();
      elapsed = ended - began;
      cpu += ProcessCpuMilliseconds() - cpuBefore;
      if (watch) {
        ticker.stop();
        longestEvent = std::max(longestEvent, ended - lastEvent);
        if (moveWaiting) longestInput = std::max(longestInput, ended - moveQueued);
      }
      window.reject();
    });
    program.Window().Command("Act_BatchWindow")->trigger();  // the modal window, until closed
    state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    done = static_cast<size_t>(std::count_if(
        program.Session().BatchList.Entries().begin(), program.Session().BatchList.Entries().end(),
        [](const std::string& entry) { return entry.rfind("Done: ", 0) == 0; }));
  }
  if (done != kFiles || books.Written() != kFiles || said.Messages != 0)
    state.SkipWithError("not every book was converted quietly");
  state.counters["files"] = static_cast<double>(kFiles);
  state.counters["window_cpu_ms"] = cpu / static_cast<double>(state.iterations());
  if (watch) {
    state.counters["input_probes"] = moves;
    state.counters["longest_gap_ms"] = Milliseconds(longestEvent);
    state.counters["longest_input_gap_ms"] = Milliseconds(longestInput);
  }
}
BENCHMARK(BM_BatchThroughWindow)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The same list through the command line, one process: start-up included, as a user sees it.
void BM_CliBatchOneJob(benchmark::State& state) {
  Books books;
  const std::string cli = BinaryFolder() + "/vellumor-cli";
  std::vector<std::string> args = {cli,       "batch",  "-j",       "1",          "-o",
                                   books.out, "--list", books.list, "--settings", books.settings};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  int status = 0;
  std::chrono::microseconds cpu{};
  for (auto _ : state) {
    const Clock::time_point began = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, cli.c_str(), &quiet, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start vellumor-cli");
      break;
    }
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - began).count());
    cpu += std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
  }
  state.counters["cli_cpu_ms"] = std::chrono::duration<double, std::milli>(cpu).count() /
                                 static_cast<double>(state.iterations());
  posix_spawn_file_actions_destroy(&quiet);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || books.Written() != kFiles)
    state.SkipWithError("the command line did not convert every book");
  state.counters["files"] = static_cast<double>(kFiles);
}
BENCHMARK(BM_CliBatchOneJob)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

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
