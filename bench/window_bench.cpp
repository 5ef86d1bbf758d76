// The desktop program with a 4 MB book: "Open..." until the source is shown, and "Convert"
// until the result is shown, through the real main window (offscreen). The peak memory of the
// process is reported as a counter.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "app/ui/DesktopProgram.h"
#include "platform/MemoryReuse.h"
#include "support/BookGenerator.h"

namespace {

// Answers every question at once: the book's path to the open dialog, "Ok" to the book
// information, "Cancel" to the save dialog.
class AnsweringDialogs : public app::ui::ModalDialogs {
 public:
  explicit AnsweringDialogs(QString book) : book_(std::move(book)) {}
  void Message(const QString&, const QString&) override { ++Messages; }
  QString OpenFile(const QString&, const QStringList&, const QString&) override { return book_; }
  QString SaveFile(const QString&, const QStringList&, const QString&, const QString&) override {
    return {};
  }
  QString Folder(const QString&, const QString&) override { return {}; }
  bool EditBookInfo(fb2meta::BookInfo&) override { return true; }
  std::string PickGenres(std::string_view genres) override { return std::string(genres); }
  int Messages = 0;

 private:
  QString book_;
};

struct WindowWithBook {
  QTemporaryDir folder;
  std::unique_ptr<app::ui::DesktopProgram> program;

  WindowWithBook() {
    const QString book = folder.filePath("book.html");
    QFile file(book);
    const std::string html = bench::MakeHtmlBook(4u << 20);
    if (!file.open(QIODevice::WriteOnly)) std::abort();
    file.write(html.data(), static_cast<qint64>(html.size()));
    file.close();
    app::ui::DesktopOptions options;
    options.ProgramFolder = folder.path().toStdString();
    options.SettingsPath = folder.filePath("vellumor.ini").toStdString();
    options.Dialogs = std::make_unique<AnsweringDialogs>(book);
    program = std::make_unique<app::ui::DesktopProgram>(std::move(options));
    program->Show();
    QApplication::processEvents();
  }

  void Run(const char* command) {
    program->Window().Command(command)->trigger();
    QApplication::processEvents();  // until the text is painted
  }
};

void ReportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_OpenToSourceShown(benchmark::State& state) {
  WindowWithBook window;
  for (auto _ : state) window.Run("Act_OpenSource");
  state.counters["source_bytes"] =
      static_cast<double>(window.program->Session().SourceEditor().Text().size());
  ReportPeakMemory(state);
}
BENCHMARK(BM_OpenToSourceShown)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ConvertToResultShown(benchmark::State& state) {
  WindowWithBook window;
  window.Run("Act_OpenSource");
  for (auto _ : state) window.Run("Act_Convert");
  state.counters["result_bytes"] =
      static_cast<double>(window.program->Session().ResultEditor().Text().size());
  ReportPeakMemory(state);
}
BENCHMARK(BM_ConvertToResultShown)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("VELLUMOR_CODEPAGE", "1251", 0);  // the book is Russian, read as a Russian system reads it
  platform::KeepFreedMemoryForReuse();     // as the program runs
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
