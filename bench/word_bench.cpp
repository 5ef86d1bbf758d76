// Word-processor documents through LibreOffice: a batch of 24 real documents (8 each of .rtf,
// .docx and .doc, made from the HTML pages of tests/data/realworld and examples/) as "Start" runs
// it for one worker (`vellumor-cli batch -j 1`), and one document converted alone with the
// profile kept between runs, as an interactive conversion does.
//
// The documents are made at the first run with soffice --convert-to and cached in
// $XDG_CACHE_HOME/vellumor-bench/word (default ~/.cache/...); the kept profile of the single
// conversion lives in a cache folder of the benchmark's own. Needs soffice on PATH.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "batch/BatchStart.h"
#include "platform/ScratchFolder.h"
#include "platform/Subprocess.h"
#include "support/BenchMain.h"
#include "support/QuietUserInterface.h"

namespace {

namespace fs = std::filesystem;

// The kinds in turn: page 0 becomes an .rtf, page 1 a .docx, page 2 a .doc, and so on.
struct Kind {
  const char* Extension;
  const char* Filter;
};
constexpr Kind kKinds[] = {
    {"rtf", "rtf"}, {"docx", "docx:MS Word 2007 XML"}, {"doc", "doc:MS Word 97"}};
constexpr size_t kDocuments = 24;

fs::path CacheFolder() {
  const char* cache = getenv("XDG_CACHE_HOME");
  const char* home = getenv("HOME");
  fs::path base = cache && *cache ? fs::path(cache)
                  : home && *home ? fs::path(home) / ".cache"
                                  : fs::temp_directory_path();
  return base / "vellumor-bench";
}

// The documents, made once and cached; empty when LibreOffice cannot make them.
const std::vector<std::string>& Documents() {
  static const std::vector<std::string> documents = [] {
    std::vector<fs::path> pages;
    for (const char* folder : {"tests/data/realworld", "examples"}) {
      for (const auto& entry : fs::directory_iterator(fs::path(VELLUMOR_SOURCE_DIR) / folder))
        if (entry.path().extension() == ".html") pages.push_back(entry.path());
    }
    std::sort(pages.begin(), pages.end());
    pages.resize(std::min(pages.size(), kDocuments));
    const fs::path folder = CacheFolder() / "word";
    fs::create_directories(folder);
    std::vector<std::string> made;
    for (size_t i = 0; i < pages.size(); ++i) {
      const Kind& kind = kKinds[i % 3];
      const fs::path document =
          folder / (pages[i].stem().string() + "." + std::string(kind.Extension));
      if (!fs::exists(document)) {
        platform::RunWithTimeLimit(
            {platform::FindOnPath("soffice"),
             "-env:UserInstallation=file://" + (CacheFolder() / "maker-profile").string(),
             "--headless", "--norestore", "--infilter=HTML (StarWriter)", "--convert-to",
             kind.Filter, "--outdir", folder.string(), pages[i].string()},
            std::chrono::seconds(120));
      }
      if (fs::exists(document)) made.push_back(document.string());
    }
    return made;
  }();
  return documents;
}

struct BenchSession {
  BenchSession() : session(ui, source, result, ".", scratch.Path() + "none.ini") {
    session.Settings().RepairStructure = true;
    fs::create_directories(scratch.Path() + "out");
  }
  platform::ScratchFolder scratch;
  bench::QuietUserInterface ui;
  app::PlainTextEditor source, result;
  app::Session session;
};

// The whole batch per iteration: LibreOffice started once for it and stopped at its end.
void BM_WordBatchOneWorker(benchmark::State& state) {
  const std::vector<std::string>& documents = Documents();
  if (documents.size() < 20) {
    state.SkipWithError("LibreOffice did not make the documents");
    return;
  }
  size_t failed = 0;
  for (auto _ : state) {
    BenchSession s;
    for (const std::string& document : documents) s.session.BatchList.Entries().push_back(document);
    std::string folder = s.scratch.Path() + "out";
    batch::StartBatch(s.session.BatchList, folder, s.ui, s.session.BatchStartSteps());
    for (const std::string& entry : s.session.BatchList.Entries())
      if (entry.rfind("Done: ", 0) != 0) ++failed;
  }
  if (failed) state.SkipWithError("a document failed");
  state.counters["documents"] = static_cast<double>(documents.size());
  state.counters["s_per_document"] = benchmark::Counter(
      static_cast<double>(documents.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WordBatchOneWorker)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

// One document alone, as an interactive conversion: LibreOffice started for it, with the profile
// kept between runs (made by a first, untimed run).
void BM_WordDocumentAlone(benchmark::State& state) {
  const std::vector<std::string>& documents = Documents();
  if (documents.empty()) {
    state.SkipWithError("LibreOffice did not make the documents");
    return;
  }
  setenv("XDG_CACHE_HOME", (CacheFolder() / "kept").c_str(), 1);
  BenchSession s;
  size_t next = 0, failed = 0;
  if (!s.session.ConvertSourceFile(documents[0]).Ok) ++failed;
  s.session.RemoveWordExport();
  for (auto _ : state) {
    if (!s.session.ConvertSourceFile(documents[next]).Ok) ++failed;
    s.session.RemoveWordExport();
    next = (next + 1) % documents.size();
  }
  if (failed) state.SkipWithError("a document failed");
}
BENCHMARK(BM_WordDocumentAlone)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(12);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAsThePrograms(argc, argv);
}
