// The whole road from file to book, as `vellumor-cli convert` takes it: the source file read and
// brought into the system code page, cleaned into the source editor, converted (structure repair
// on, as by default) and saved as an 8-bit FB2 file, all through Session::ConvertSourceFile and
// Session::SaveFb2.
//
// Books: a 4 MB English novel in XHTML, UTF-8 (the size of a long classic; system code page
// 1252), the same novel at 50 MB, and the 50 MB windows-1251 book of the other benchmarks (system
// code page 1251). Time is wall time, in process, memory reused between runs as the programs
// reuse it. Besides it, each benchmark runs the road once in a fresh process (this program
// started again with --road-child) and reports that run's wall time (fresh_ms) and its peak
// memory (peak_MiB, the child's maximum resident set), which is what a user of the command line
// meets.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "platform/MemoryReuse.h"
#include "platform/ScratchFolder.h"
#include "platform/WholeFile.h"
#include "support/BookGenerator.h"
#include "support/QuietUserInterface.h"

extern char** environ;

namespace {

struct Book {
  const char* Name;
  bool Novel;  // MakeXhtmlNovel, else MakeHtmlBook
  size_t Megabytes;
  int CodePage;
};

const Book kBooks[] = {
    {"novel4", true, 4, 1252},
    {"novel50", true, 50, 1252},
    {"cp1251_50", false, 50, 1251},
};

// One conversion from `in` to `out` as the command line makes it. False when it failed.
bool ConvertOnce(const std::string& in, const std::string& out, const std::string& settings) {
  bench::QuietUserInterface ui;
  app::PlainTextEditor source, result;
  app::Session session(ui, source, result, ".", settings);
  session.WriteBackSettings = false;
  session.Settings().ShowTitleInfo = true;
  const app::SourceConversion outcome =
      session.ConvertSourceFile(in, app::OtherExtensions::ReadAsHtml);
  if (!outcome) return false;
  session.SaveFb2(out);
  return true;
}

// The books written once into a private folder.
class Library {
 public:
  const std::string& Path(size_t index) {
    std::string& path = paths_[index];
    if (path.empty()) {
      const Book& book = kBooks[index];
      const std::string bytes = book.Novel ? bench::MakeXhtmlNovel(book.Megabytes << 20)
                                           : bench::MakeHtmlBook(book.Megabytes << 20);
      path = scratch_.FilePath(std::string(book.Name) + ".html");
      if (platform::WriteFileAtomically(path, bytes, platform::Durability::Unflushed) != 0)
        throw std::runtime_error("cannot write " + path);
    }
    return path;
  }
  std::string Output(size_t index) {
    return scratch_.FilePath(std::string(kBooks[index].Name) + ".fb2");
  }
  std::string Settings() { return scratch_.FilePath("none.ini"); }

 private:
  platform::ScratchFolder scratch_;
  std::string paths_[std::size(kBooks)];
};

Library& Books() {
  static Library library;
  return library;
}

void SetCodePage(int number) {
  setenv("VELLUMOR_CODEPAGE", std::to_string(number).c_str(), 1);
}

// Runs the road once in a fresh process; its wall time in ms and peak memory in MiB.
bool MeasureFresh(size_t index, double& wallMs, double& peakMiB) {
  std::string self(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", self.data(), self.size());
  if (length <= 0) return false;
  self.resize(static_cast<size_t>(length));
  std::string in = Books().Path(index), out = Books().Output(index), ini = Books().Settings();
  std::string flag = "--road-child";
  char* args[] = {self.data(), flag.data(), in.data(), out.data(), ini.data(), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, self.c_str(), nullptr, nullptr, args, environ) != 0) return false;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return false;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  // The child reports its own wall time, from its start to the saved file.
  std::ifstream reported(out + ".ms");
  reported >> wallMs;

  peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return true;
}

void BM_Road(benchmark::State& state) {
  const size_t index = static_cast<size_t>(state.range(0));
  const Book& book = kBooks[index];
  state.SetLabel(book.Name);
  SetCodePage(book.CodePage);
  const std::string& in = Books().Path(index);
  const std::string out = Books().Output(index);
  double freshMs = 0, peakMiB = 0;
  if (!MeasureFresh(index, freshMs, peakMiB)) {
    state.SkipWithError("the conversion in a fresh process failed");
    return;
  }
  for (auto _ : state) {
    if (!ConvertOnce(in, out, Books().Settings())) {
      state.SkipWithError("the conversion failed");
      return;
    }
  }
  const auto size = static_cast<int64_t>(std::filesystem::file_size(in));
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["fresh_ms"] = freshMs;
  state.counters["peak_MiB"] = peakMiB;
}

// The child: one conversion, its wall time written beside the output for the parent.
int RunChild(const char* in, const char* out, const char* settings) {
  const auto start = std::chrono::steady_clock::now();
  if (!ConvertOnce(in, out, settings)) return 1;
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const std::string file = std::string(out) + ".ms";
  return platform::WriteFileAtomically(file, std::to_string(ms), platform::Durability::Unflushed);
}

int WriteBook(const char* number, const char* path) {
  const size_t index = static_cast<size_t>(std::atoi(number));
  if (index >= std::size(kBooks)) return 2;
  const Book& book = kBooks[index];
  const std::string bytes = book.Novel ? bench::MakeXhtmlNovel(book.Megabytes << 20)
                                       : bench::MakeHtmlBook(book.Megabytes << 20);
  return platform::WriteFileAtomically(path, bytes, platform::Durability::Unflushed) == 0 ? 0 : 1;
}

}  // namespace

BENCHMARK(BM_Road)
    ->DenseRange(0, static_cast<int>(std::size(kBooks)) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
  platform::KeepFreedMemoryForReuse();  // as vellumor-cli does
  if (argc == 5 && std::strcmp(argv[1], "--road-child") == 0)
    return RunChild(argv[2], argv[3], argv[4]);
  // road_bench --road-book N PATH writes book N, for runs of the programs themselves.
  if (argc == 4 && std::strcmp(argv[1], "--road-book") == 0) return WriteBook(argv[2], argv[3]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
