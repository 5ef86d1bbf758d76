#pragma once
// The main function of the benchmarks that convert big books.

namespace bench {

// Runs the registered benchmarks with memory handled as the programs handle it: freed buffers
// kept for the next conversion. VELLUMOR_BENCH_FRESH_MEMORY set to anything measures with the C
// library's default instead (big buffers faulted in afresh).
int RunAsThePrograms(int argc, char** argv);

}  // namespace bench
