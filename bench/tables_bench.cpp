// The table renderer: a small table that fits, a wide one that wraps, a tall one that is shrunk
// band by band, and the cost of opening the font against reusing the cache.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/CodePage.h"
#include "tables/RenderTable.h"

namespace {

std::string Table(int rows, int cols, int wordsPerCell) {
  std::string html = "<html>\r\n<table border=1>";
  for (int r = 0; r < rows; ++r) {
    html += "<tr>";
    for (int c = 0; c < cols; ++c) {
      html += "<td>";
      for (int w = 0; w < wordsPerCell; ++w)
        html += "word" + std::to_string((r + c + w) % 97) + " ";
      html += "</td>";
    }
    html += "</tr>\r\n";
  }
  return html + "</table>\r\n</html>";
}

void Render(benchmark::State& state, const std::string& html) {
  const platform::CodePage codePage(1251);
  tables::FontCache fonts;
  const tables::TableSettings settings;
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string png = tables::RenderTable(html, settings, fonts, codePage);
    bytes = png.size();
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["png_bytes"] = static_cast<double>(bytes);
}

void BM_SmallTable(benchmark::State& state) {
  Render(state, Table(10, 4, 1));
}
void BM_WideTableWraps(benchmark::State& state) {
  Render(state, Table(20, 8, 12));
}
void BM_TallTableShrinks(benchmark::State& state) {
  Render(state, Table(2000, 3, 2));
}

void BM_FontCold(benchmark::State& state) {
  for (auto _ : state) {
    tables::FontCache fonts;
    benchmark::DoNotOptimize(fonts.Get("Tahoma", 8).TextHeight());
  }
}

void BM_FontCached(benchmark::State& state) {
  tables::FontCache fonts;
  for (auto _ : state) benchmark::DoNotOptimize(fonts.Get("Tahoma", 8).TextHeight());
}

}  // namespace

BENCHMARK(BM_SmallTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideTableWraps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TallTableShrinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FontCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FontCached)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
