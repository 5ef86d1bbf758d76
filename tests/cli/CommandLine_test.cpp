// vellumor-cli's options and outputs as a user meets them: an output that names the source, the
// accepted source extensions, book options checked before converting (genre, cover), settings
// for one run (--no-zip, pictures, tables, document information, file-name variant), what
// --help shows, and the exit status of writes that fail.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "images/Base64.h"
#include "images/PngCodec.h"
#include "support/Process.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::WriteFile;

const std::string kPage =
    "<html><body><h1>Quiet</h1><p>Harbour text</p><img src=\"pic.png\"></body></html>";

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Png(int width, int height) {
  return images::EncodePng(images::Raster(width, height, 120), 6);
}

class CommandLine : public ::testing::Test {
 protected:
  CommandLine() {
    WriteFile(folder / "book.html", kPage);
    WriteFile(folder / "pic.png", Png(100, 50));
  }

  // convert with no settings file, a fixed date and id, and the arguments.
  testsupport::ProgramRun Convert(const std::string& file, std::vector<std::string> extra) {
    std::vector<std::string> args = {"convert", file,    "--date",     "01.02.2020",
                                     "--id",    "fixed", "--settings", folder / "none.ini"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProgram("vellumor-cli", args);
  }

  testsupport::TempFolder folder;
};

// Writing the book over its own source would lose the source: refused before converting, by
// path, by another spelling of the path and through links either way.
TEST_F(CommandLine, OutputThatIsTheSourceIsRefused) {
  fs::create_symlink(folder / "book.html", folder / "link.html");
  fs::create_symlink(folder / "book.html", folder / "out-link.fb2");
  struct Case {
    std::string Source, Out;
    std::vector<std::string> Extra;
  };
  const Case cases[] = {
      {folder / "book.html", folder / "book.html", {}},
      {folder / "book.html", folder.Path().string() + "/./book.html", {}},
      {folder / "link.html", folder / "book.html", {}},
      {folder / "book.html", folder / "out-link.fb2", {}},
      {folder / "book.html", folder / "book.html.zip", {}},  // not the source: allowed below
  };
  for (const Case& c : cases) {
    const bool same = c.Out != folder / "book.html.zip";
    const auto run = Convert(c.Source, {"-o", c.Out, "--genre", "sf"});
    EXPECT_EQ(run.ExitCode, same ? 2 : 0) << c.Source << " -o " << c.Out << ": " << run.Err;
    if (same) {
      EXPECT_TRUE(Has(run.Err, "is the source file")) << run.Err;
    }
    EXPECT_EQ(ReadFile(folder / "book.html"), kPage) << c.Out;
  }
  // With --zip the archive is what is written: OUT.zip naming the source is refused too.
  fs::create_symlink(folder / "book.html", folder / "packed.fb2.zip");
  const auto zip = Convert(folder / "book.html", {"-o", folder / "packed.fb2", "--zip"});
  EXPECT_EQ(zip.ExitCode, 2) << zip.Err;
  EXPECT_EQ(ReadFile(folder / "book.html"), kPage);
}

// The same extensions are sources for convert and batch alike; any other is refused with the
// list of the accepted ones.
TEST_F(CommandLine, SourcesAreKnownByTheirExtensionEverywhere) {
  struct Case {
    std::string Name;
    bool Source;
  };
  const Case cases[] = {{"a.htm", true},  {"b.html", true},     {"c.xhtml", true}, {"d.xht", true},
                        {"e.HTML", true}, {"f.txt", false},     {"g.xml", false},  {"noext", false},
                        {"h.fb2", false}, {"i.html.bak", false}};
  fs::create_directory(folder / "out");
  for (const Case& c : cases) {
    WriteFile(folder / c.Name, kPage);
    const auto run = Convert(folder / c.Name, {"-o", "-", "--genre", "sf"});
    EXPECT_EQ(run.ExitCode, c.Source ? 0 : 2) << c.Name << ": " << run.Err;
    if (c.Source) {
      EXPECT_TRUE(testsupport::IsWellFormedXml(run.Out)) << c.Name;
    } else {
      EXPECT_EQ(run.Err, "vellumor-cli: \"" + folder / c.Name +
                             "\" is not a source document (.htm, .html, .xhtml, .xht, .doc, "
                             ".docx, .rtf)\n");
    }
    const auto batch =
        RunProgram("vellumor-cli", {"batch", "-o", folder / "out", "--genre", "sf", "--settings",
                                    folder / "none.ini", folder / c.Name});
    EXPECT_EQ(batch.ExitCode, c.Source ? 0 : 1) << c.Name << ": " << batch.Err;
    EXPECT_EQ(batch.Out, c.Source ? "Done: " + folder / c.Name + "\n"
                                  : "Error: 0 (\"" + folder / c.Name +
                                        "\" is not a source document (.htm, .html, .xhtml, "
                                        ".xht, .doc, .docx, .rtf)): " +
                                        folder / c.Name + "\n");
  }
}

// A setting that the settings file turns on can be turned off for one run, and --help shows
// what the settings file makes of each option rather than the flags' "false".
TEST_F(CommandLine, SettingsFileDefaultsCanBeOverriddenAndHelpShowsThem) {
  WriteFile(folder / "zip.ini",
            "[main]\r\nzip=1\r\nTbFontName=DejaVu Sans\r\n[IntValues]\r\nSpinEdit1=321\r\n"
            "[DocInfo]\r\nNick=ivp\r\n");
  const auto packed = RunProgram(
      "vellumor-cli",
      {"convert", folder / "book.html", "-o", folder / "a.fb2", "--settings", folder / "zip.ini"});
  ASSERT_EQ(packed.ExitCode, 0) << packed.Err;
  EXPECT_TRUE(fs::exists(folder / "a.fb2.zip"));
  EXPECT_FALSE(fs::exists(folder / "a.fb2"));
  const auto plain =
      RunProgram("vellumor-cli", {"convert", folder / "book.html", "-o", folder / "b.fb2",
                                  "--settings", folder / "zip.ini", "--zip", "--no-zip"});
  ASSERT_EQ(plain.ExitCode, 0) << plain.Err;
  EXPECT_TRUE(testsupport::IsWellFormedXml(ReadFile(folder / "b.fb2")));
  EXPECT_FALSE(fs::exists(folder / "b.fb2.zip"));

  for (const char* command : {"convert", "batch"}) {
    const auto help =
        RunProgram("vellumor-cli", {command, "--settings", folder / "zip.ini", "--help"});
    ASSERT_EQ(help.ExitCode, 0) << help.Err;
    EXPECT_FALSE(Has(help.Out, "{false}")) << help.Out;
    EXPECT_TRUE(Has(help.Out, "Pack the FB2 into OUT.zip [settings: on]")) << help.Out;
    EXPECT_TRUE(Has(help.Out, "Keep hyperlinks [settings: off]")) << help.Out;
    EXPECT_TRUE(Has(help.Out, "--max-image-width INT:POSITIVE=321")) << help.Out;
    EXPECT_TRUE(Has(help.Out, "--table-font TEXT=DejaVu Sans")) << help.Out;
    EXPECT_TRUE(Has(help.Out, "--doc-nickname TEXT=ivp")) << help.Out;
    EXPECT_TRUE(Has(help.Out, "--settings TEXT=" + folder / "zip.ini")) << help.Out;
    EXPECT_TRUE(Has(help.Out, "--table-mode TEXT:{as-is,content-only,image}=as-is")) << help.Out;
  }
}

// --cover must name a picture that can be embedded; anything else is an input error, and nothing
// is written.
TEST_F(CommandLine, CoverThatCannotBeUsedIsAnInputError) {
  WriteFile(folder / "cover.png", Png(20, 30));
  WriteFile(folder / "broken.png", "\x89PNG\r\n\x1a\n truncated");
  WriteFile(folder / "text.jpg", "not a picture");
  WriteFile(folder / "cover.gif", "GIF89a");
  fs::create_directory(folder / "shelf.png");
  struct Case {
    std::string Cover, Why;
  };
  const Case cases[] = {
      {folder / "missing.png", "No such file or directory"},
      {folder / "broken.png", "cannot be decoded"},
      {folder / "text.jpg", "cannot be decoded"},
      {folder / "cover.gif", "is not a .jpg or .png picture"},
      {folder / "shelf.png", "It is a folder, not a file."},
  };
  for (const Case& c : cases) {
    const auto run = Convert(folder / "book.html", {"-o", folder / "t.fb2", "--cover", c.Cover});
    EXPECT_EQ(run.ExitCode, 2) << c.Cover << ": " << run.Err;
    EXPECT_TRUE(Has(run.Err, "--cover: ") && Has(run.Err, c.Why)) << run.Err;
    EXPECT_FALSE(fs::exists(folder / "t.fb2"));
  }
  const auto good =
      Convert(folder / "book.html", {"-o", folder / "t.fb2", "--cover", folder / "cover.png"});
  ASSERT_EQ(good.ExitCode, 0) << good.Err;
  const std::string book = ReadFile(folder / "t.fb2");
  EXPECT_TRUE(Has(book, "<coverpage>")) << book;
  EXPECT_TRUE(testsupport::IsWellFormedXml(book));
}

// Genre codes come from the genre file: an unknown one is an input error naming the nearest
// codes; a book without any genre is written with a warning, since the schema needs one.
TEST_F(CommandLine, GenresAreCheckedAndAMissingOneIsWarned) {
  struct Case {
    std::vector<std::string> Genres;
    int Exit;
    std::string Err;  // a part of stderr; empty: nothing on stderr
  };
  const Case cases[] = {
      {{"sf", "adventure"}, 0, ""},
      {{"sf_fantasyy"}, 2, "unknown genre \"sf_fantasyy\""},
      {{"sf", "advnture"}, 2, "nearest known: adventure"},
      {{"SF"}, 2, "nearest known: sf"},
      {{}, 0, "the book has no genre, which the FB2 schema requires"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"-o", "-"};
    for (const std::string& genre : c.Genres) args.insert(args.end(), {"--genre", genre});
    const auto run = Convert(folder / "book.html", args);
    EXPECT_EQ(run.ExitCode, c.Exit) << run.Err;
    if (c.Err.empty()) {
      EXPECT_EQ(run.Err, "");
    } else {
      EXPECT_TRUE(Has(run.Err, c.Err)) << run.Err;
    }
    EXPECT_EQ(run.Out.empty(), c.Exit != 0);
    for (const std::string& genre : c.Genres) {
      if (c.Exit == 0) {
        EXPECT_TRUE(Has(run.Out, "<genre>" + genre + "</genre>"));
      }
    }
  }
}

// Every setting of the book dialog's document-information tab, the picture limits and the
// file-name variant can be given for one run.
TEST_F(CommandLine, DocumentInformationPicturesAndFileNameForOneRun) {
  const auto run =
      Convert(folder / "book.html",
              {"-o", folder / "doc.fb2", "--genre", "sf", "--doc-author", "Ivan|P|Sidorov",
               "--doc-nickname", "ivs", "--doc-email", "ivs@example.org", "--doc-homepage",
               "http://ivs.example/", "--source-url", "http://src.example/book"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::string book = ReadFile(folder / "doc.fb2");
  ASSERT_TRUE(testsupport::IsWellFormedXml(book));
  const std::string info = book.substr(book.find("<document-info>"));
  for (const std::string part :
       {"<first-name>Ivan</first-name>", "<middle-name>P</middle-name>",
        "<last-name>Sidorov</last-name>", "<nickname>ivs</nickname>",
        "<home-page>http://ivs.example/</home-page>", "<email>ivs@example.org</email>",
        "<src-url>http://src.example/book</src-url>"})
    EXPECT_TRUE(Has(info, part)) << part << "\n" << info;

  // The picture is embedded as it is without resizing, smaller with a smaller limit.
  std::string original;
  images::AppendBase64(ReadFile(folder / "pic.png"), original);
  const auto picture = [&](std::vector<std::string> extra) {
    extra.insert(extra.end(), {"-o", "-", "--genre", "sf"});
    const auto converted = Convert(folder / "book.html", extra);
    EXPECT_EQ(converted.ExitCode, 0) << converted.Err;
    const size_t start = converted.Out.find('>', converted.Out.find("<binary")) + 1;
    std::string data = converted.Out.substr(start, converted.Out.find("</binary>") - start);
    std::erase_if(data, [](char ch) { return ch == '\r' || ch == '\n'; });
    return data;
  };
  EXPECT_EQ(picture({"--max-image-width", "40", "--no-resize-images"}), original);
  EXPECT_EQ(picture({}), original);  // 100 by 50 fits the default limits
  EXPECT_NE(picture({"--max-image-width", "40"}), original);
  EXPECT_NE(picture({"--max-image-height", "20", "--resize-images"}), original);

  // Named after the book beside the source, in either variant.
  const auto named = [&](const std::string& variant) {
    return Convert(folder / "book.html", {"--name-variant", variant, "--genre", "sf", "--title",
                                          "Quiet Harbour", "--author", "Anna|Ivanovna|Petrova"});
  };
  ASSERT_EQ(named("2").ExitCode, 0);
  EXPECT_TRUE(testsupport::IsWellFormedXml(ReadFile(folder / "Petrova_A._Quiet_Harbour.fb2")));
  ASSERT_EQ(named("1").ExitCode, 0);
  EXPECT_TRUE(fs::exists(folder / "Petrova A.I. Quiet Harbour.fb2"))
      << testing::PrintToString(folder.Names());
  EXPECT_FALSE(fs::exists(folder / "book.fb2"));
}

// Table pictures follow the border and font options.
TEST_F(CommandLine, TablePictureOptionsChangeThePicture) {
  WriteFile(folder / "table.html",
            "<html><body><table border=\"0\"><tr><td>one</td><td>two</td></tr></table></body>"
            "</html>");
  const auto picture = [&](std::vector<std::string> extra) {
    extra.insert(extra.end(), {"-o", "-", "--genre", "sf", "--table-mode", "image"});
    const auto run = Convert(folder / "table.html", extra);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_TRUE(testsupport::IsWellFormedXml(run.Out));
    const size_t start = run.Out.find("<binary");
    EXPECT_NE(start, std::string::npos) << run.Out;
    return run.Out.substr(start);
  };
  const std::string base = picture({});
  EXPECT_NE(picture({"--table-font-size", "20"}), base);
  EXPECT_NE(picture({"--table-border", "as-source"}), base);
  EXPECT_EQ(picture({"--table-border", "visible", "--table-font-size", "8"}), base);
}

// Runs vellumor-cli with stdout on a descriptor that cannot be written.
testsupport::ProgramRun RunWithUnwritableStdout(const std::vector<std::string>& args,
                                                const std::string& folder) {
  const std::string path = (fs::path(VELLUMOR_BIN_DIR) / "vellumor-cli").string();
  std::vector<char*> argv = {const_cast<char*>(path.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const std::string readOnly = folder + "/stdout", err = folder + "/stderr";
  WriteFile(readOnly, "");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, readOnly.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  testsupport::ProgramRun run;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  run.Err = ReadFile(err);
  return run;
}

// An output that cannot be written has its own status, 3, and says so.
TEST_F(CommandLine, WriteFailuresExitWithThree) {
  fs::create_directory(folder / "shelf.fb2");
  const auto intoFolder =
      Convert(folder / "book.html", {"-o", folder / "shelf.fb2", "--genre", "sf"});
  EXPECT_EQ(intoFolder.ExitCode, 3) << intoFolder.Err;
  EXPECT_TRUE(Has(intoFolder.Err, "Cannot create file")) << intoFolder.Err;
  const auto noFolder =
      Convert(folder / "book.html", {"-o", folder / "none/t.fb2", "--genre", "sf"});
  EXPECT_EQ(noFolder.ExitCode, 3) << noFolder.Err;

  ASSERT_EQ(Convert(folder / "book.html", {"--genre", "sf"}).ExitCode, 0);  // book.fb2
  fs::create_directory(folder / "out");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"convert", folder / "book.html", "-o", "-", "--genre", "sf",
                                 "--settings", folder / "none.ini"},
        std::vector<std::string>{"clean", folder / "book.html"},
        std::vector<std::string>{"validate", folder / "book.fb2"},
        std::vector<std::string>{"batch", "-o", folder / "out", "--genre", "sf", "--settings",
                                 folder / "none.ini", folder / "book.html"}}) {
    const auto run = RunWithUnwritableStdout(args, folder.Path().string());
    EXPECT_EQ(run.ExitCode, 3) << args[0] << ": " << run.Err;
    EXPECT_TRUE(Has(run.Err, "vellumor-cli: cannot write to standard output")) << run.Err;
  }

  // In a batch the entry whose book cannot be saved is an error, and the batch ends with 3.
  fs::remove_all(folder / "out");
  fs::create_directories(folder / "out/book.fb2");
  WriteFile(folder / "other.htm", kPage);
  const auto batch =
      RunProgram("vellumor-cli", {"batch", "-o", folder / "out", "--genre", "sf", "--settings",
                                  folder / "none.ini", folder / "book.html", folder / "other.htm"});
  EXPECT_EQ(batch.ExitCode, 3) << batch.Err;
  EXPECT_EQ(batch.Out, "Error: 0 (the book could not be written): " + folder / "book.html" +
                           "\nDone: " + folder / "other.htm\n");
  EXPECT_TRUE(Has(batch.Err, "Cannot create file")) << batch.Err;
}

// A tokenizer report quotes at most a few hundred bytes of the text it stopped at, not the rest
// of the file; a folder is no file to clean.
TEST_F(CommandLine, TokenizerReportsAreShortAndCleanRefusesAFolder) {
  WriteFile(folder / "open.html",
            "<html><body><p>start</p><a href=\"x\" " + std::string(20000, 'x'));
  for (const std::string command : {"clean", "convert"}) {
    std::vector<std::string> args = {command, folder / "open.html"};
    if (command == "convert")
      args.insert(args.end(), {"-o", "-", "--genre", "sf", "--settings", folder / "none.ini"});
    const auto run = RunProgram("vellumor-cli", args);
    EXPECT_TRUE(Has(run.Err, "> not found: <a href")) << command << ": " << run.Err.substr(0, 400);
    EXPECT_LT(run.Err.size(), 500u) << command;
    EXPECT_TRUE(Has(run.Err, "xxx...\n")) << command;
  }
  fs::create_directory(folder / "pages");
  const auto clean = RunProgram("vellumor-cli", {"clean", folder / "pages"});
  EXPECT_EQ(clean.ExitCode, 2);
  EXPECT_EQ(clean.Err, "vellumor-cli: Cannot open file \"" + folder / "pages" +
                           "\". It is a folder, not a file.\n");
  EXPECT_EQ(clean.Out, "");
}

}  // namespace
