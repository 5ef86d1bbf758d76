// Per-file cost of a batch of 200 small HTML books: ConvertFileToFolder (existence check, the
// editors emptied, the file read and cleaned, converted, saved) against ConvertDocument alone on
// the same text. The difference is the batch's overhead per file.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "platform/ScratchFolder.h"
#include "platform/WholeFile.h"
#include "support/BookGenerator.h"
#include "support/QuietUserInterface.h"

namespace {

constexpr size_t kFiles = 200;
constexpr size_t kBookBytes = 8 * 1024;

// 200 small books in a folder of their own, and an output folder.
struct BatchFolder {
  BatchFolder() {
    const std::string& root = scratch.Path();
    std::filesystem::create_directories(root + "out");
    const std::string book = bench::MakeHtmlBook(kBookBytes);
    for (size_t i = 0; i < kFiles; ++i) {
      files.push_back(root + "book" + std::to_string(i) + ".htm");
      if (platform::WriteFileAtomically(files.back(), book, platform::Durability::Unflushed) != 0)
        throw std::runtime_error("cannot write " + files.back());
    }
    out = root + "out";
  }
  platform::ScratchFolder scratch;
  std::vector<std::string> files;
  std::string out;
};

struct BenchSession {
  BenchSession() : session(ui, source, result, ".", folder.scratch.Path() + "none.ini") {}
  BatchFolder folder;
  bench::QuietUserInterface ui;
  app::PlainTextEditor source, result;
  app::Session session;
};

void BM_ConvertFileToFolder(benchmark::State& state) {
  BenchSession s;
  size_t next = 0, done = 0;
  for (auto _ : state) {
    done += s.session.ConvertFileToFolder(s.folder.files[next], s.folder.out) ? 1 : 0;
    next = (next + 1) % kFiles;
  }
  if (done != static_cast<size_t>(state.iterations())) state.SkipWithError("a conversion failed");
  state.counters["files"] = static_cast<double>(kFiles);
}
BENCHMARK(BM_ConvertFileToFolder)->Unit(benchmark::kMillisecond);

void BM_ConvertDocumentAlone(benchmark::State& state) {
  BenchSession s;
  // The same text as the batch converts, loaded once; the conversion alone is timed.
  s.session.Document().BatchMode = true;
  s.session.Document().SourcePath = s.folder.files[0];
  s.session.LoadSourceHtml(s.folder.files[0]);
  for (auto _ : state) {
    if (!s.session.ConvertDocument().Ok) state.SkipWithError("the conversion failed");
  }
}
BENCHMARK(BM_ConvertDocumentAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
