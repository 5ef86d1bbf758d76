// A word-processor document brought into the source editor: the LibreOffice export of a small
// RTF (heading, runs, list, table, picture, Cyrillic line) alone, and with the loading and cleanup
// of the export through the session's batch opening. Each export starts LibreOffice afresh with a
// private profile, which is most of its cost.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "platform/CodePage.h"
#include "platform/Subprocess.h"
#include "source/WordBridge.h"
#include "source/WordExportCleanup.h"
#include "support/QuietUserInterface.h"

namespace {

namespace fs = std::filesystem;

const char kRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Times New Roman;}}\n"
    "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}}\n"
    "{\\pard\\s1\\outlinelevel0\\b\\fs32 Chapter One\\par}\n"
    "{\\pard Plain \\b bold\\b0  and \\i italic\\i0  text.\\par}\n"
    "{\\pard \\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090? \\u1084?\\u1080?\\u1088?\\par}\n"
    "{\\pard{\\pntext\\bullet\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\bullet}}"
    "\\fi-360\\li720 First item\\par}\n"
    "\\trowd\\cellx2000\\cellx4000 \\pard\\intbl A1\\cell B1\\cell\\row\n"
    "\\pard {\\pict\\pngblip\\picw2\\pich2\\picwgoal600\\pichgoal600 "
    "89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a"
    "730000001049444154789c63f8cfc000440c100a001fee03fd8b5f14d4000000"
    "0049454e44ae426082}\\par\n"
    "}\n";

// A private folder holding the sample, removed at the end.
struct Sample {
  Sample() {
    char pattern[] = "/tmp/vellumor_bench_XXXXXX";
    folder = mkdtemp(pattern);
    rtf = folder + "/Sample Book.rtf";
    std::ofstream(rtf, std::ios::binary) << kRtf;
  }
  ~Sample() { fs::remove_all(folder); }
  std::string folder;
  std::string rtf;
};

void BM_LibreOfficeExport(benchmark::State& state) {
  if (platform::FindOnPath("soffice").empty()) {
    state.SkipWithError("soffice is not installed");
    return;
  }
  const Sample sample;
  const platform::CodePage codePage(1251);
  const std::string target = sample.folder + "/Sample_Book.htm";
  for (auto _ : state) {
    if (!source::ConvertWithWord(sample.rtf, target, codePage)) {
      state.SkipWithError("the export failed");
      return;
    }
    state.PauseTiming();
    source::RemoveWordExport(target);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LibreOfficeExport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_OpenWordDocument(benchmark::State& state) {
  if (platform::FindOnPath("soffice").empty()) {
    state.SkipWithError("soffice is not installed");
    return;
  }
  const Sample sample;
  bench::QuietUserInterface ui;
  app::PlainTextEditor source, result;
  app::Session session(ui, source, result, sample.folder, sample.folder + "/vellumor.ini");
  for (auto _ : state) {
    if (!session.OpenSourceBatch(sample.rtf)) {
      state.SkipWithError("the export failed");
      return;
    }
    state.PauseTiming();
    session.RemoveWordExport();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenWordDocument)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
