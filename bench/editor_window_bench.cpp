// The main window's editors with a book in them: a 4 MB cleaned HTML text shown in the source
// editor and its FB2 (about 3.7 MB) in the result editor, each a shown 800x600 QsciScintilla set
// up as the program sets it up (lexer, word wrap), reached through QsciTextEditor in
// windows-1251. "Shown" means loaded and painted once.

#include <Qsci/qsciscintilla.h>
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/ui/EditorSetup.h"
#include "app/ui/QsciTextEditor.h"
#include "editor/FindReplace.h"
#include "engine/HTMLPars.h"
#include "engine/Pipeline.h"
#include "platform/CodePage.h"
#include "source/HtmlCleanup.h"
#include "support/BenchMain.h"
#include "support/BookGenerator.h"
#include "support/QuietUserInterface.h"

namespace {

constexpr int kCodePage = 1251;

const std::string& SourceText() {
  // The cleanup takes a tenth off the generated page.
  static const std::string text = source::CleanHtml(bench::MakeHtmlBook(9u << 19));
  return text;
}

class FixedHead : public engine::ConversionServices {
 public:
  engine::DocumentHead WriteDescription() override {
    return {"<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook>\r\n", {}};
  }
};

const std::string& Fb2Text() {
  static const std::string text = [] {
    engine::THTMLParser parser;
    FixedHead services;
    const std::string page = source::CleanHtml(bench::MakeHtmlBook(4u << 20));
    return engine::ConvertDocument(parser, page, {}, services, platform::CodePage(kCodePage))
        .Document;
  }();
  return text;
}

// One shown editor window as the main window has it.
struct ShownEditor {
  explicit ShownEditor(app::ui::EditorRole role) : Editor(Widget, kCodePage) {
    app::ui::SetUpEditor(Widget, role);
    Widget.resize(800, 600);
    Widget.show();
    Paint();
  }
  // Renders the widget as the screen gets it (the offscreen platform may skip a repaint).
  void Paint() { benchmark::DoNotOptimize(Widget.grab().width()); }

  QsciScintilla Widget;
  app::ui::QsciTextEditor Editor;
};

void Show(benchmark::State& state, app::ui::EditorRole role, const std::string& text) {
  ShownEditor shown(role);
  for (auto _ : state) {
    shown.Editor.Load(text);
    shown.Paint();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["MB"] = static_cast<double>(text.size()) / (1 << 20);
}

void BM_ShowSourceText(benchmark::State& state) {
  Show(state, app::ui::EditorRole::Source, SourceText());
}
BENCHMARK(BM_ShowSourceText)->Unit(benchmark::kMillisecond);

void BM_ShowResultText(benchmark::State& state) {
  Show(state, app::ui::EditorRole::Result, Fb2Text());
}
BENCHMARK(BM_ShowResultText)->Unit(benchmark::kMillisecond);

// Text(), as a conversion or a search reads the editor.
void BM_TextBack(benchmark::State& state) {
  ShownEditor shown(app::ui::EditorRole::Result);
  shown.Editor.Load(Fb2Text());
  for (auto _ : state) benchmark::DoNotOptimize(shown.Editor.Text().size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Fb2Text().size()));
}
BENCHMARK(BM_TextBack)->Unit(benchmark::kMillisecond);

// Lines(), as saving reads the result editor.
void BM_LinesBack(benchmark::State& state) {
  ShownEditor shown(app::ui::EditorRole::Result);
  shown.Editor.Load(Fb2Text());
  for (auto _ : state) benchmark::DoNotOptimize(shown.Editor.Lines().size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Fb2Text().size()));
}
BENCHMARK(BM_LinesBack)->Unit(benchmark::kMillisecond);

// "Search Again" for a word near the end, from the start: read the text, select the hit far down
// and paint it.
void BM_FindNearTheEnd(benchmark::State& state) {
  ShownEditor shown(app::ui::EditorRole::Result);
  shown.Editor.Load(Fb2Text());
  const std::string word = "</FictionBook>";
  bench::QuietUserInterface ui;
  for (auto _ : state) {
    shown.Editor.Select(0, 0);
    benchmark::DoNotOptimize(editor::FindInEditor(shown.Editor, word, true, ui));
    shown.Paint();
  }
}
BENCHMARK(BM_FindNearTheEnd)->Unit(benchmark::kMillisecond);

// "&All" over the whole result text: every paragraph tag renamed, one replacement of the text.
void BM_ReplaceAllParagraphs(benchmark::State& state) {
  ShownEditor shown(app::ui::EditorRole::Result);
  size_t replaced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    shown.Editor.Load(Fb2Text());
    shown.Editor.Select(Fb2Text().find("<p>"), 3);
    state.ResumeTiming();
    replaced = editor::ReplaceAllFromSelection(shown.Editor, "<p>", "<p >");
    shown.Paint();
  }
  state.counters["replaced"] = static_cast<double>(replaced);
}
BENCHMARK(BM_ReplaceAllParagraphs)->Unit(benchmark::kMillisecond);

// A tag wrapped around a selection near the end of the text, as the FB2 tag commands do.
void BM_WrapSelectionNearTheEnd(benchmark::State& state) {
  ShownEditor shown(app::ui::EditorRole::Result);
  shown.Editor.Load(Fb2Text());
  const size_t at = Fb2Text().rfind("<p>");
  for (auto _ : state) {
    shown.Editor.Select(at, 3);
    shown.Editor.ReplaceSelection("<emphasis>" + shown.Editor.SelectedText() + "</emphasis>");
    shown.Paint();
    state.PauseTiming();
    shown.Editor.Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WrapSelectionNearTheEnd)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Qt asks for a private runtime folder; a temporary one keeps it quiet.
  QTemporaryDir runtimeDir;
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr && runtimeDir.isValid()) {
    QFile::setPermissions(runtimeDir.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit().constData(), 1);
  }
  QApplication application(argc, argv);
  return bench::RunAsThePrograms(argc, argv);
}
