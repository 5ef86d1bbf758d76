// Pictures: a picture-heavy book converted end to end (50 JPEGs of 4000 x 3000 and 50 PNGs of
// 2000 x 2000 referenced from one HTML), scaling one 12-megapixel JPEG to 580 x 435 beside a
// plain full decode of the same file, and Base64 encoding of a picture file.
//
// The pictures are made once into a temporary folder by a child process, so the peak memory
// reported (max RSS of this process) is that of the work measured, not of making the pictures.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "engine/HTMLPars.h"
#include "engine/Pipeline.h"
#include "images/AreaScaler.h"
#include "images/Base64.h"
#include "images/ImageEmbedder.h"
#include "images/JpegCodec.h"
#include "images/PictureFiles.h"
#include "images/PngCodec.h"
#include "platform/CodePage.h"
#include "platform/ScratchFolder.h"

namespace {

constexpr int kPictures = 50;

// A photograph-like picture: smooth shapes with grain, so the coders do real work.
images::Raster PhotoLike(int width, int height, unsigned seed) {
  images::Raster r(width, height);
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> grain(-12, 12);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = r.Pixel(x, y);
      const double v = std::sin(x / 97.0) * std::cos(y / 61.0);
      const int base[3] = {static_cast<int>(128 + 100 * v), x * 255 / width, y * 255 / height};
      for (int c = 0; c < 3; ++c)
        p[c] = static_cast<uint8_t>(std::clamp(base[c] + grain(rng), 0, 255));
    }
  }
  return r;
}

class PictureBook {
 public:
  PictureBook() {
    folder_ = scratch_.Path();
    // Made in a child so that the parent's peak memory stays that of the measured work.
    const pid_t child = fork();
    if (child == 0) {
      images::WritePictureFile(folder_ + "photo.jpg",
                               images::EncodeJpeg(PhotoLike(4000, 3000, 1), 90));
      images::WritePictureFile(folder_ + "square.png",
                               images::EncodePng(PhotoLike(2000, 2000, 2), 6));
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("no pictures");
    html_ = "<html><body><h1>Pictures</h1>\r\n";
    for (int i = 0; i < kPictures; ++i) {
      const std::string j = "photo" + std::to_string(i) + ".jpg";
      const std::string p = "square" + std::to_string(i) + ".png";
      std::filesystem::copy_file(folder_ + "photo.jpg", folder_ + j);
      std::filesystem::copy_file(folder_ + "square.png", folder_ + p);
      html_ += "<p>Photo " + std::to_string(i) + "</p><p><img src=\"" + j + "\"></p>\r\n";
      html_ += "<p>Square " + std::to_string(i) + "</p><p><img src=\"" + p + "\"></p>\r\n";
    }
    html_ += "</body></html>\r\n";
  }
  const std::string& Folder() const { return folder_; }
  const std::string& Html() const { return html_; }

 private:
  platform::ScratchFolder scratch_;
  std::string folder_, html_;
};

PictureBook& Book() {
  static PictureBook book;
  return book;
}

double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

class PictureServices : public engine::ConversionServices {
 public:
  PictureServices(const std::string& folder, platform::ScratchFolder& scratch)
      : embedder_({}, folder, scratch) {}
  void BeginConversion() override { embedder_.BeginConversion(); }
  std::string EmbedImage(const engine::THTMLTag& tag, std::string& binaries) override {
    return embedder_.Embed(tag, binaries);
  }
  engine::DocumentHead WriteDescription() override {
    return {"<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<FictionBook>\r\n", {}};
  }

 private:
  images::ImageEmbedder embedder_;
};

void BM_PictureBookEndToEnd(benchmark::State& state) {
  PictureBook& book = Book();
  const platform::CodePage cp(1251);
  engine::THTMLParser parser;
  platform::ScratchFolder scratch;
  PictureServices services(book.Folder(), scratch);
  size_t documentBytes = 0;
  for (auto _ : state) {
    const auto result = engine::ConvertDocument(parser, book.Html(), {}, services, cp);
    if (!result) state.SkipWithError(result.Reason.c_str());
    documentBytes = result.Document.size();
  }
  state.counters["pictures"] = 2 * kPictures;
  state.counters["fb2_MB"] = static_cast<double>(documentBytes) / (1 << 20);
  state.counters["peak_rss_MB"] = PeakRssMb();
}
BENCHMARK(BM_PictureBookEndToEnd)->Unit(benchmark::kSecond)->Iterations(1);

const std::string& PhotoBytes() {
  static const std::string bytes = images::ReadPictureFile(Book().Folder() + "photo.jpg");
  return bytes;
}

void BM_Jpeg12MpxFullDecode(benchmark::State& state) {
  const std::string& bytes = PhotoBytes();
  for (auto _ : state) benchmark::DoNotOptimize(images::DecodeJpeg(bytes).Rgb.data());
}
BENCHMARK(BM_Jpeg12MpxFullDecode)->Unit(benchmark::kMillisecond);

void BM_Jpeg12MpxScaleTo580x435(benchmark::State& state) {
  const std::string& bytes = PhotoBytes();
  for (auto _ : state)
    benchmark::DoNotOptimize(images::DecodeJpegScaled(bytes, 580, 435).Rgb.data());
}
BENCHMARK(BM_Jpeg12MpxScaleTo580x435)->Unit(benchmark::kMillisecond);

// The area scaler alone on the full 12-megapixel raster.
void BM_AreaScale12MpxTo580x435(benchmark::State& state) {
  const images::Raster full = images::DecodeJpeg(PhotoBytes());
  for (auto _ : state) benchmark::DoNotOptimize(images::ScaleArea(full, 580, 435).Rgb.data());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * full.Rgb.size()));
}
BENCHMARK(BM_AreaScale12MpxTo580x435)->Unit(benchmark::kMillisecond);

void BM_EncodeFileBase64(benchmark::State& state) {
  const std::string path = Book().Folder() + "photo.jpg";
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) benchmark::DoNotOptimize(images::EncodeFileBase64(path).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_EncodeFileBase64)->Unit(benchmark::kMillisecond);

void BM_AppendBase64InMemory(benchmark::State& state) {
  const std::string bytes(8 << 20, 'x');
  std::string out;
  for (auto _ : state) {
    out.clear();
    images::AppendBase64(bytes, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_AppendBase64InMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
