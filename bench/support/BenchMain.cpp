#include "support/BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/MemoryReuse.h"

namespace bench {

int RunAsThePrograms(int argc, char** argv) {
  if (!std::getenv("VELLUMOR_BENCH_FRESH_MEMORY")) platform::KeepFreedMemoryForReuse();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
