// Throughput of the conversion engine on a text-heavy book: the tokenizer, the cleanup, the
// walk, and all three end to end. Sizes are in MB of source HTML.
//
// The walk is reached only through ConvertDocument, which tokenizes first: BM_Walk times each
// conversion of the cleaned book and the tokenizing of the same text in the same iteration, and
// reports the difference (manual time); BM_TokenizeAndWalk reports the conversion whole.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "engine/HTMLPars.h"
#include "engine/Pipeline.h"
#include "platform/CodePage.h"
#include "source/HtmlCleanup.h"
#include "support/BenchMain.h"
#include "support/BookGenerator.h"

namespace {

const std::string& Book(size_t megabytes) {
  static std::string books[64];
  std::string& book = books[megabytes];
  if (book.empty()) book = bench::MakeHtmlBook(megabytes << 20);
  return book;
}

class FixedHead : public engine::ConversionServices {
 public:
  engine::DocumentHead WriteDescription() override {
    return {"<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook>\r\n", {}};
  }
};

void BM_Parse(benchmark::State& state) {
  const std::string& book = Book(static_cast<size_t>(state.range(0)));
  engine::THTMLParser parser;
  for (auto _ : state) {
    // Loading the book into the tokenizer is a copy of it, not tokenizing.
    state.PauseTiming();
    parser.Source().assign(book);
    state.ResumeTiming();
    parser.Parse();
    benchmark::DoNotOptimize(parser.Count());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * book.size()));
}

void BM_CleanHtml(benchmark::State& state) {
  const std::string& book = Book(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(source::CleanHtml(book));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * book.size()));
}

void BM_TokenizeAndWalk(benchmark::State& state) {
  const std::string cleaned = source::CleanHtml(Book(static_cast<size_t>(state.range(0))));
  const platform::CodePage cp(1251);
  engine::THTMLParser parser;
  FixedHead services;
  for (auto _ : state) {
    auto result = engine::ConvertDocument(parser, cleaned, {}, services, cp);
    benchmark::DoNotOptimize(result.Document.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * cleaned.size()));
}

void BM_Walk(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const std::string cleaned = source::CleanHtml(Book(static_cast<size_t>(state.range(0))));
  const platform::CodePage cp(1251);
  engine::THTMLParser parser, tokenizer;
  FixedHead services;
  for (auto _ : state) {
    tokenizer.Source().assign(cleaned);
    const auto start = Clock::now();
    tokenizer.Parse();
    const auto tokenized = Clock::now();
    auto result = engine::ConvertDocument(parser, cleaned, {}, services, cp);
    const auto converted = Clock::now();
    benchmark::DoNotOptimize(result.Document.size());
    benchmark::DoNotOptimize(tokenizer.Count());
    const std::chrono::duration<double> walk = (converted - tokenized) - (tokenized - start);
    state.SetIterationTime(std::max(walk.count(), 0.0));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * cleaned.size()));
}

void BM_EndToEnd(benchmark::State& state) {
  const std::string& book = Book(static_cast<size_t>(state.range(0)));
  const platform::CodePage cp(1251);
  engine::THTMLParser parser;
  FixedHead services;
  for (auto _ : state) {
    const std::string cleaned = source::CleanHtml(book);
    auto result = engine::ConvertDocument(parser, cleaned, {}, services, cp);
    benchmark::DoNotOptimize(result.Document.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * book.size()));
}

}  // namespace

BENCHMARK(BM_Parse)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CleanHtml)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TokenizeAndWalk)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_EndToEnd)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  return bench::RunAsThePrograms(argc, argv);
}
