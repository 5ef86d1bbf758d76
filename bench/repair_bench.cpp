// What structure repair costs: the conversion of the generated book with and without repair,
// from the cleaned book and from the HTML as the programs read it (cleaning included), and the
// two repair passes alone. Sizes are in MB of source HTML.

#include <benchmark/benchmark.h>

#include "engine/HTMLPars.h"
#include "engine/PictureIds.h"
#include "engine/Pipeline.h"
#include "engine/StructureRepair.h"
#include "platform/CodePage.h"
#include "source/HtmlCleanup.h"
#include "support/BenchMain.h"
#include "support/BookGenerator.h"

namespace {

const char kHead[] =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook>\r\n<description>\r\n"
    "</description>\r\n";

class FixedHead : public engine::ConversionServices {
 public:
  engine::DocumentHead WriteDescription() override { return {kHead, {}}; }
};

const std::string& HtmlBook(size_t megabytes) {
  static std::string books[64];
  std::string& book = books[megabytes];
  if (book.empty()) book = bench::MakeHtmlBook(megabytes << 20);
  return book;
}

const std::string& CleanedBook(size_t megabytes) {
  static std::string books[64];
  std::string& book = books[megabytes];
  if (book.empty()) book = source::CleanHtml(HtmlBook(megabytes));
  return book;
}

void Convert(benchmark::State& state, bool repair, bool clean) {
  const size_t megabytes = static_cast<size_t>(state.range(0));
  const std::string& book = clean ? HtmlBook(megabytes) : CleanedBook(megabytes);
  const platform::CodePage cp(1251);
  engine::THTMLParser parser;
  FixedHead services;
  engine::ConversionOptions options;
  options.RepairStructure = repair;
  for (auto _ : state) {
    auto result =
        clean ? engine::ConvertDocument(parser, source::CleanHtml(book), options, services, cp)
              : engine::ConvertDocument(parser, book, options, services, cp);
    benchmark::DoNotOptimize(result.Document.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * book.size()));
}

void BM_ConvertPlain(benchmark::State& state) {
  Convert(state, false, false);
}
void BM_ConvertRepaired(benchmark::State& state) {
  Convert(state, true, false);
}
void BM_EndToEndPlain(benchmark::State& state) {
  Convert(state, false, true);
}
void BM_EndToEndRepaired(benchmark::State& state) {
  Convert(state, true, true);
}

// The passes alone: the body pass on the body the walk gave; the picture-id pass on a document
// with pictures whose ids must all change (a name starting with a digit and holding a blank,
// as word processors name them): one picture every 40 paragraphs of the walked book, its image
// element there and its binary element at the end. The pass works in place, so each run gets a
// fresh copy of the document, made outside the timing.
const std::string& WalkedDocument(size_t megabytes) {
  static std::string documents[64];
  std::string& document = documents[megabytes];
  if (document.empty()) {
    const platform::CodePage cp(1251);
    engine::THTMLParser parser;
    FixedHead services;
    document = engine::ConvertDocument(parser, CleanedBook(megabytes), {}, services, cp).Document;
  }
  return document;
}

const std::string& DocumentWithPictures(size_t megabytes) {
  static std::string documents[64];
  std::string& out = documents[megabytes];
  if (!out.empty()) return out;
  const std::string& walked = WalkedDocument(megabytes);
  const size_t end = walked.rfind("</FictionBook>");
  std::string binaries;
  size_t copied = 0, paragraphs = 0, pictures = 0;
  for (size_t at = walked.find("</p>"); at < end; at = walked.find("</p>", at + 4)) {
    if (++paragraphs % 40 != 0) continue;
    const std::string id = std::to_string(++pictures) + " picture.jpg";
    out.append(walked, copied, at + 4 - copied);
    out.append("\r\n<image xlink:href=\"#").append(id).append("\"/>");
    copied = at + 4;
    binaries.append("<binary content-type=\"image/jpeg\" id=\"").append(id);
    binaries.append("\">/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDA==\r\n</binary>\r\n");
  }
  out.append(walked, copied, end - copied).append(binaries).append(walked, end);
  return out;
}

void BM_RepairBodyPass(benchmark::State& state) {
  const std::string body =
      WalkedDocument(static_cast<size_t>(state.range(0))).substr(sizeof kHead - 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(engine::RepairBodyStructure(body).size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}

void BM_PictureIdPass(benchmark::State& state) {
  const std::string& document = DocumentWithPictures(static_cast<size_t>(state.range(0)));
  std::string copy;
  for (auto _ : state) {
    state.PauseTiming();
    copy = document;
    state.ResumeTiming();
    engine::RepairPictureIds(copy);
    benchmark::DoNotOptimize(copy.size());
  }
  // The pass must have renamed the pictures, or it timed nothing.
  if (copy.find("id=\"1 picture.jpg\"") != std::string::npos)
    state.SkipWithError("the picture ids were not renamed");
  size_t pictures = 0;
  for (size_t at = document.find("<binary"); at != std::string::npos;
       at = document.find("<binary", at + 1))
    ++pictures;
  state.counters["pictures"] = static_cast<double>(pictures);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}

}  // namespace

BENCHMARK(BM_ConvertPlain)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertRepaired)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EndToEndPlain)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EndToEndRepaired)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepairBodyPass)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureIdPass)->Arg(50)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) {
  return bench::RunAsThePrograms(argc, argv);
}
