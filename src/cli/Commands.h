#pragma once
// The sub-commands of vellumor-cli. Each registers itself on the app and sets `exitCode` when run.

#include <CLI/CLI.hpp>

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Exit statuses: done, conversion failed, usage or input error, an output that could not be
// written (the book converted, but no file or standard output took it).
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitWriteFailed = 3;

// Thrown by a command for an input it cannot take (missing file and the like): exit status 2.
struct InputError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Thrown by a command whose output cannot be written: exit status 3.
struct WriteError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void RegisterBatchCommand(CLI::App& app, int& exitCode);
void RegisterCleanCommand(CLI::App& app, int& exitCode);
void RegisterConvertCommand(CLI::App& app, int& exitCode);
void RegisterValidateCommand(CLI::App& app, int& exitCode);

// Checks the FB2 file at `path` and prints its problems and summary line as `validate` does;
// kExitOk when it is valid, kExitFailed when not, kExitUsage when it cannot be read.
int PrintValidation(const std::string& path, std::ostream& out);

// Reads a whole file; InputError when it cannot be read (a folder, a pipe or a device included).
std::string ReadInputFile(const std::string& path);
// Writes all of `bytes` to standard output; WriteError, saying so, when it cannot.
void WriteStandardOutput(std::string_view bytes);
// Flushes std::cout; WriteError, saying so, when anything written to it was lost.
void CheckStandardOutput();
// How `batch -j` shares the entries among at most `jobs` workers: the indexes of each worker's
// entries, in list order. Entries that may write one output file in `folder` share a worker.
std::vector<std::vector<size_t>> SplitBatchEntries(const std::vector<std::string>& entries,
                                                   const std::string& folder, size_t jobs);

// Prints a tokenizer complaint on stderr (the offending text shortened).
void PrintTokenizerReport(std::string_view message, std::string_view offending);

}  // namespace cli
