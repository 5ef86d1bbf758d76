// How batch -j shares its entries among workers: entries that may write one output file (one
// name, or a shared name and the numbered names it leads to) share a worker in list order; all
// others spread.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace {

// The worker of each entry, workers numbered by their first entry.
std::vector<size_t> WorkerOfEach(const std::vector<std::string>& entries, size_t jobs) {
  const std::vector<std::vector<size_t>> shares = cli::SplitBatchEntries(entries, "/out", jobs);
  std::vector<size_t> worker(entries.size(), 99);
  for (size_t w = 0; w < shares.size(); ++w) {
    EXPECT_TRUE(std::is_sorted(shares[w].begin(), shares[w].end()));
    for (size_t index : shares[w]) worker[index] = w;
  }
  return worker;
}

TEST(BatchSplit, EntriesThatMayWriteOneFileShareAWorker) {
  struct Case {
    const char* Name;
    std::vector<std::string> Entries;
    size_t Jobs;
    std::vector<size_t> Workers;
  };
  const Case cases[] = {
      {"distinct names spread", {"/a/1.htm", "/a/2.htm", "/a/3.htm", "/a/4.htm"}, 2, {0, 1, 0, 1}},
      // Chapters with numbered names of their own spread while no name is shared.
      {"chapters spread",
       {"/a/ch_1.htm", "/a/ch_2.htm", "/a/ch.htm", "/a/ch_3.htm"},
       4,
       {0, 1, 2, 3}},
      {"one name", {"/a/x.htm", "/b/y.htm", "/b/x.html", "/c/z.htm"}, 3, {0, 1, 0, 2}},
      // x shared: the second x becomes x_2, which x_2.htm wants too, and x_2_2 after it.
      {"numbered chain",
       {"/a/x.htm", "/b/x.htm", "/a/x_2.htm", "/a/x_2_2.htm", "/a/x_3_1.htm", "/a/y_2.htm"},
       6,
       {0, 0, 0, 0, 0, 1}},
      // Only names that a shared one leads to: x_2 shared does not draw x in.
      {"shared numbered name",
       {"/a/x_2.htm", "/b/x_2.htm", "/a/x.htm", "/a/x_2_9.htm"},
       3,
       {0, 0, 1, 0}},
      {"one job", {"/a/1.htm", "/a/2.htm"}, 1, {0, 0}},
      // A word-processor export beside its document: same folder and name, one worker.
      {"one export name", {"/a/t.doc", "/a/t.rtf", "/b/u.htm"}, 2, {0, 0, 1}},
  };
  for (const Case& c : cases) EXPECT_EQ(WorkerOfEach(c.Entries, c.Jobs), c.Workers) << c.Name;
}

}  // namespace
