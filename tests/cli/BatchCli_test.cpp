// vellumor-cli batch: the outcome lines, the files written, and the same result with workers.
// Books of one name get numbered files, each book its own id; options that describe one book
// are refused.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cerrno>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "support/Process.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace {

using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::WriteFile;

// The document id of a book.
std::string IdOf(const std::string& book) {
  std::smatch id;
  return std::regex_search(book, id, std::regex("<id>([^<]*)</id>")) ? id[1].str() : "";
}

// The files of a folder by name, with their bytes, the document id made "ID".
std::map<std::string, std::string> FolderFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    std::string bytes = ReadFile(item.path().string());
    const std::string id = IdOf(bytes);
    if (!id.empty()) bytes.replace(bytes.find(id), id.size(), "ID");
    files[item.path().filename().string()] = bytes;
  }
  return files;
}

class BatchCliTest : public ::testing::Test {
 protected:
  BatchCliTest() { std::filesystem::create_directories(folder / "in/other"); }

  std::string Source(const std::string& name, std::string_view text) {
    const std::string path = folder / name;
    WriteFile(path, "<html><body><h1>" + std::string(text) + "</h1><p>" + std::string(text) +
                        " text</p></body></html>");
    return path;
  }

  // Runs the batch into a fresh folder `outName` with a fixed date and a genre.
  testsupport::ProgramRun Batch(const std::string& outName, std::vector<std::string> args) {
    const std::string out = folder / outName;
    std::filesystem::create_directories(out);
    std::vector<std::string> all = {
        "batch",  "-o",         out,       "--settings", folder / "none.ini",
        "--date", "01.02.2020", "--genre", "sf"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram("vellumor-cli", all);
  }

  testsupport::TempFolder folder;
};

// Sources of one name keep every book: a later one gets a numbered file and its line names it,
// with workers as in one run; every book has an id of its own.
TEST_F(BatchCliTest, WorkersWriteTheSameFilesAsOneRun) {
  std::vector<std::string> files;
  for (int i = 0; i < 7; ++i)
    files.push_back(Source("in/book" + std::to_string(i) + ".htm", "Book " + std::to_string(i)));
  // Two sources of one output name, far apart in the list, and one named like the numbered file.
  files.insert(files.begin() + 1, Source("in/other/book5.htm", "Earlier five"));
  files.insert(files.begin() + 3, Source("in/other/book5_2.html", "Named five two"));

  const auto one = Batch("one", files);
  const auto two = Batch("two", [&] {
    std::vector<std::string> args = {"-j", "3"};
    args.insert(args.end(), files.begin(), files.end());
    return args;
  }());

  ASSERT_EQ(one.ExitCode, 0) << one.Err;
  ASSERT_EQ(two.ExitCode, 0) << two.Err;
  for (const auto& [run, out] : {std::pair{&one, "one"}, std::pair{&two, "two"}}) {
    std::string expected;
    for (const std::string& file : files) {
      expected += "Done: " + file;
      // book5_2.html came first and took its own name.
      if (file == folder / "in/book5.htm") expected += " -> " + folder / out + "/book5_3.fb2";
      expected += "\n";
    }
    EXPECT_EQ(run->Out, expected);
    EXPECT_EQ(run->Err, "");
  }

  const auto written = FolderFiles(folder / "one");
  EXPECT_EQ(written.size(), 9u);
  EXPECT_EQ(FolderFiles(folder / "two"), written);
  std::set<std::string> ids;
  for (const auto& [name, bytes] : written) {
    EXPECT_TRUE(testsupport::IsWellFormedXml(bytes)) << name;
    ids.insert(IdOf(ReadFile(folder / "one" + "/" + name)));
  }
  EXPECT_EQ(ids.size(), 9u);  // a fresh id for every book
  EXPECT_TRUE(std::regex_match(*ids.begin(), std::regex("[0-9A-F-]{36}"))) << *ids.begin();
  EXPECT_NE(written.at("book5.fb2").find("Earlier five"), std::string::npos);
  EXPECT_NE(written.at("book5_2.fb2").find("Named five two"), std::string::npos);
  EXPECT_NE(written.at("book5_3.fb2").find("Book 5"), std::string::npos);
}

// A file left by an earlier batch is replaced, not avoided.
TEST_F(BatchCliTest, FilesOfAnEarlierRunAreReplaced) {
  const std::string a = Source("in/a.htm", "Newer");
  std::filesystem::create_directories(folder / "out");
  WriteFile(folder / "out/a.fb2", "old");
  const auto run = Batch("out", {a});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out, "Done: " + a + "\n");
  EXPECT_NE(ReadFile(folder / "out/a.fb2").find("Newer"), std::string::npos);
  EXPECT_EQ(FolderFiles(folder / "out").size(), 1u);
}

// Options that describe one book are refused before anything is converted.
TEST_F(BatchCliTest, OptionsOfOneBookAreRefused) {
  const std::string a = Source("in/a.htm", "A");
  const std::vector<std::string> cases[] = {
      {"--title", "T"}, {"--author", "A|B|C"}, {"--id", "x"}, {"--cover", folder / "in/a.htm"}};
  for (const auto& option : cases) {
    std::vector<std::string> args = option;
    args.push_back(a);
    const auto run = Batch("refused", args);
    EXPECT_EQ(run.ExitCode, 2) << option[0];
    EXPECT_EQ(run.Err, "vellumor-cli: " + option[0] +
                           " describes one book and cannot be given to a batch, whose books each "
                           "take their title from the file name and get a new id\n");
    EXPECT_EQ(run.Out, "");
    EXPECT_TRUE(std::filesystem::is_empty(folder / "refused"));
  }
}

TEST_F(BatchCliTest, ListFileEntriesComeFirstAndAFailureGivesStatusOne) {
  const std::string a = Source("in/a.htm", "A");
  const std::string b = Source("in/b.htm", "B");
  const std::string missing = folder / "in/missing.htm";
  WriteFile(folder / "list.txt", a + "\r\n" + missing + "\r\n");
  for (const char* jobs : {"1", "3"}) {
    const auto run =
        Batch(std::string("out") + jobs, {"-j", jobs, "--list", folder / "list.txt", b});
    EXPECT_EQ(run.ExitCode, 1) << run.Err;
    EXPECT_EQ(run.Out, "Done: " + a + "\nError: " + std::to_string(ENOENT) +
                           " (No such file or directory): " + missing + "\nDone: " + b + "\n");
    // Why it failed, from a worker as from one run.
    EXPECT_EQ(run.Err, "vellumor-cli: " + missing + ": Cannot open file \"" + missing +
                           "\". No such file or directory\n");
    const auto written = FolderFiles(folder / (std::string("out") + jobs));
    EXPECT_EQ(written.size(), 2u);
    for (const auto& [name, bytes] : written) EXPECT_TRUE(testsupport::IsWellFormedXml(bytes));
  }
}

// Each "Error: " line gives the code and the reason in words, without repeating the entry.
TEST_F(BatchCliTest, ErrorLinesSayWhyInWords) {
  std::filesystem::create_directory(folder / "in/shelf.htm");
  ASSERT_EQ(mkfifo((folder / "in/pipe.htm").c_str(), 0600), 0);
  WriteFile(folder / "in/empty.htm", "");
  WriteFile(folder / "in/notes.txt", "<p>notes</p>");
  const std::pair<std::string, std::string> cases[] = {
      {"in/missing.htm", std::to_string(ENOENT) + " (No such file or directory)"},
      {"in/shelf.htm", std::to_string(EISDIR) + " (It is a folder, not a file.)"},
      {"in/pipe.htm", std::to_string(EINVAL) + " (It is a named pipe (FIFO), not a regular file.)"},
      {"in/empty.htm", "0 (\"" + folder / "in/empty.htm" + "\" holds no text to convert)"},
      {"in/notes.txt", "0 (\"" + folder / "in/notes.txt" + "\" is not a source document ("},
  };
  std::vector<std::string> files;
  for (const auto& [name, why] : cases) files.push_back(folder / name);
  const auto run = Batch("out", files);
  EXPECT_EQ(run.ExitCode, 1);
  std::istringstream lines(run.Out);
  for (const auto& [name, why] : cases) {
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("Error: " + why, 0), 0u) << line;
    EXPECT_TRUE(line.ends_with("): " + folder / name)) << line;
    EXPECT_EQ(line.find("Invalid argument"), std::string::npos) << line;
  }
}

TEST_F(BatchCliTest, MissingOutputFolderAndNoEntriesAreUsageErrors) {
  const std::string a = Source("in/a.htm", "A");
  const auto noFolder = RunProgram("vellumor-cli", {"batch", "-o", folder / "nowhere", a});
  EXPECT_EQ(noFolder.ExitCode, 2);
  EXPECT_NE(noFolder.Err.find("Dir " + folder / "nowhere" + " not found "), std::string::npos)
      << noFolder.Err;
  EXPECT_EQ(noFolder.Out, "");
  const auto nothing = RunProgram("vellumor-cli", {"batch", "-o", folder.Path().string()});
  EXPECT_EQ(nothing.ExitCode, 2);
}

}  // namespace
