// The cleanup of a page whose style sheet holds many class rules, each used once: generated
// pages of this kind (exports of big spreadsheets, site builders) must stay linear in the rules.

#include <benchmark/benchmark.h>

#include <string>

#include "source/HtmlCleanup.h"
#include "support/BenchMain.h"

namespace {

std::string PageWithRules(int count) {
  std::string page = "<html><head><style>\n";
  for (int i = 0; i < count; ++i)
    page += "p.c" + std::to_string(i) + " { font-weight: bold; font-style: italic }\n";
  page += "</style></head><body>\n";
  for (int i = 0; i < count; ++i) page += "<p class=\"C" + std::to_string(i) + "\">text</p>\n";
  page += "</body></html>\n";
  return page;
}

void BM_CleanHtmlWithClassRules(benchmark::State& state) {
  const std::string page = PageWithRules(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(source::CleanHtml(page));
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_CleanHtmlWithClassRules)
    ->Arg(20000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAsThePrograms(argc, argv);
}
