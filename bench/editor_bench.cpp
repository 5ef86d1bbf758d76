// "&All" on a big text: 10,000 replacements in a 5 MB text, through the in-memory editor, both
// the replacement pass alone and the whole command of the replace dialog (Session).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "editor/FindReplace.h"
#include "support/QuietUserInterface.h"

namespace {

// About `bytes` of text holding `occurrences` times "needle", spread evenly.
std::string MakeText(size_t bytes, size_t occurrences) {
  const std::string filler = "The quick brown fox jumps over the lazy dog.\r\n";
  const size_t gap = bytes / occurrences;
  std::string text;
  text.reserve(bytes + occurrences * 8);
  for (size_t i = 0; i < occurrences; ++i) {
    text += "needle";
    for (size_t n = 6; n < gap; n += filler.size()) text += filler;
  }
  return text;
}

void BM_ReplaceAll(benchmark::State& state) {
  const std::string text = MakeText(5u << 20, static_cast<size_t>(state.range(0)));
  size_t replaced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    app::PlainTextEditor editor(text);
    editor.Select(0, 6);
    state.ResumeTiming();
    replaced = editor::ReplaceAllFromSelection(editor, "needle", "pin");
    benchmark::DoNotOptimize(replaced);
  }
  state.counters["replaced"] = static_cast<double>(replaced);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplaceAll)->Arg(10000)->Unit(benchmark::kMillisecond);

// The "&All" button on the result editor, first occurrence selected.
void BM_ReplaceAllCommand(benchmark::State& state) {
  const std::string text = MakeText(5u << 20, static_cast<size_t>(state.range(0)));
  bench::QuietUserInterface ui;
  app::PlainTextEditor source;
  app::PlainTextEditor result;
  app::Session session(ui, source, result, ".", "bench-unused.ini");
  session.PageSelected(app::Session::kFb2Page);
  session.SearchText(app::Session::SearchDialog::Replace) = "needle";
  session.ReplacementText() = "pin";
  for (auto _ : state) {
    state.PauseTiming();
    result.Load(text);
    result.Select(0, 6);
    state.ResumeTiming();
    session.ReplaceDialogAll();
    benchmark::DoNotOptimize(result.View().data());
  }
  state.counters["replaced"] = static_cast<double>((text.size() - result.View().size()) / (6 - 3));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplaceAllCommand)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
