#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "output/AtomicFile.h"
#include "output/Fb2Saving.h"
#include "output/ZipArchive.h"
#include "platform/CodePage.h"
#include "support/TempFolder.h"
#include "support/Xml.h"
#include "support/Zip.h"

namespace output {
namespace {

using testsupport::ReadFile;
using testsupport::TempFolder;
using testsupport::WriteFile;

// Makes every write beyond `bytes` fail (EFBIG) while it lives: a real write failure that works
// for root too, where a read-only folder would not stop anything.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int);
};

const std::string kFb2 =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
    "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
    "<body><section><p>\xCF\xF0\xE8\xE2\xE5\xF2</p></section></body></FictionBook>";

TEST(AtomicFile, CreatesAndReplacesKeepingPermissions) {
  TempFolder folder;
  const std::string path = folder / "Tale.fb2";
  WriteFileAtomically(path, "first");
  EXPECT_EQ(ReadFile(path), "first");
  chmod(path.c_str(), 0640);
  WriteFileAtomically(path, kFb2);
  EXPECT_EQ(ReadFile(path), kFb2);
  struct stat info {};
  stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"Tale.fb2"});
}

TEST(AtomicFile, WritesThroughASymbolicLink) {
  TempFolder folder;
  const std::string real = folder / "real.fb2";
  const std::string link = folder / "link.fb2";
  WriteFile(real, "old");
  std::filesystem::create_symlink(real, link);
  WriteFileAtomically(link, "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "new");
}

TEST(AtomicFile, FailuresKeepTheOldFileAndLeaveNoTemporary) {
  TempFolder folder;
  const std::string blocker = folder / "plain-file";
  WriteFile(blocker, "x");
  // The parent of the target is a file: nothing can be created there.
  try {
    WriteFileAtomically(blocker + "/Tale.fb2", kFb2);
    FAIL() << "no error";
  } catch (const SaveError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + blocker + "/Tale.fb2\". Not a directory");
  }

  // A folder where the file should be.
  std::filesystem::create_directory(folder / "Book.fb2");
  EXPECT_THROW(WriteFileAtomically(folder / "Book.fb2", kFb2), SaveError);

  // A write that fails half-way: the old file stays as it was.
  const std::string path = folder / "Tale.fb2";
  WriteFile(path, "old content");
  {
    FileSizeLimit limit(16);
    EXPECT_THROW(WriteFileAtomically(path, std::string(100000, 'x')), SaveError);
  }
  EXPECT_EQ(ReadFile(path), "old content");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Book.fb2", "Tale.fb2", "plain-file"}));
}

TEST(ZipArchive, NewArchiveHoldsOneDeflatedEntry) {
  TempFolder folder;
  const std::string archive = folder / "Tale.fb2.zip";
  std::string big;
  for (int i = 0; i < 2000; ++i) big += kFb2;
  WriteZipEntry(archive, "Tale.fb2", big);
  auto entries = testsupport::ReadZip(archive);
  ASSERT_EQ(entries.size(), 1u);
  const testsupport::ZipEntry& entry = entries["Tale.fb2"];
  EXPECT_EQ(entry.Content, big);
  EXPECT_EQ(entry.Method, 8);     // deflate
  EXPECT_EQ(entry.Flags & 6, 0);  // "normal" compression: neither the fast nor the max levels
  EXPECT_LT(std::filesystem::file_size(archive), big.size() / 20);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"Tale.fb2.zip"});
}

TEST(ZipArchive, UpdatingReplacesTheEntryAndKeepsTheOthers) {
  TempFolder folder;
  const std::string archive = folder / "Tale.fb2.zip";
  testsupport::WriteZip(archive, {{"Tale.fb2", "old book"},
                                  {"notes.txt", "keep me"},
                                  {"pics/cover.jpg", std::string("\xFF\xD8\x00\x01", 4)}});
  WriteZipEntry(archive, "Tale.fb2", kFb2);
  WriteZipEntry(archive, "Other.fb2", "second");
  auto entries = testsupport::ReadZip(archive);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries["Tale.fb2"].Content, kFb2);
  EXPECT_EQ(entries["Tale.fb2"].Method, 8);
  EXPECT_EQ(entries["notes.txt"].Content, "keep me");
  EXPECT_EQ(entries["pics/cover.jpg"].Content, std::string("\xFF\xD8\x00\x01", 4));
  EXPECT_EQ(entries["Other.fb2"].Content, "second");
  EXPECT_TRUE(testsupport::IsWellFormedXml(entries["Tale.fb2"].Content));
}

TEST(ZipArchive, FailuresKeepTheOldFile) {
  TempFolder folder;
  // An existing file that is not an archive is not overwritten.
  const std::string notZip = folder / "Tale.fb2.zip";
  WriteFile(notZip, "just text, not an archive");
  try {
    WriteZipEntry(notZip, "Tale.fb2", kFb2);
    FAIL() << "no error";
  } catch (const SaveError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + notZip + "\". ", 0), 0u)
        << e.what();
  }
  EXPECT_EQ(ReadFile(notZip), "just text, not an archive");

  // A write that fails keeps the previous archive with its entries.
  const std::string archive = folder / "Book.fb2.zip";
  testsupport::WriteZip(archive, {{"Book.fb2", "old"}, {"other", "kept"}});
  const std::string before = ReadFile(archive);
  {
    FileSizeLimit limit(before.size() + 10);
    std::string noise;
    for (unsigned i = 0; i < 200000; ++i)
      noise.push_back(static_cast<char>((i * 2654435761u) >> 24));
    EXPECT_THROW(WriteZipEntry(archive, "Book.fb2", noise), SaveError);
  }
  EXPECT_EQ(ReadFile(archive), before);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Book.fb2.zip", "Tale.fb2.zip"}));
}

TEST(Fb2Saving, FileBytesFromLines) {
  const std::vector<std::string> lines = {"<?xml?>", "<FictionBook>", "</FictionBook>"};
  EXPECT_EQ(Fb2FileBytes(lines, false, "\r\n"), "<?xml?>\r\n<FictionBook>\r\n</FictionBook>");
  EXPECT_EQ(Fb2FileBytes(lines, false, "\n"), "<?xml?>\n<FictionBook>\n</FictionBook>");
  EXPECT_EQ(Fb2FileBytes(lines, true, "\n"), "<?xml?>\r\n<FictionBook>\r\n</FictionBook>\r\n");
  // A text that ended with a line break: no extra empty line in UTF-8 form; kept in 8-bit form.
  const std::vector<std::string> ended = {"a", "b", ""};
  EXPECT_EQ(Fb2FileBytes(ended, true, "\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(Fb2FileBytes(ended, false, "\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(Fb2FileBytes({}, true, "\r\n"), "");
  EXPECT_EQ(Fb2FileBytes({""}, true, "\r\n"), "");
}

// The bytes made from the whole text in one pass are the bytes made from its lines, for every
// kind and place of line break and both output forms.
TEST(Fb2Saving, FileBytesFromTheWholeTextAreThoseFromItsLines) {
  const platform::CodePage cp1251(1251);
  const std::string texts[] = {
      "",
      "a",
      "\r\n",
      "a\r\nb",
      "a\r\nb\r\n",
      "a\nb\rc\r\n\r\nd\n",
      "\r\r\n\n\r",
      "<?xml version=\"1.0\"?>\r\n<p>\xCF\xF0\xE8\xE2\xE5\xF2 and a long line of text</p>",
      std::string("\x98x\tx\x01\x00y", 7) + std::string(30, '\xE9') + "\r",
  };
  for (const std::string& text : texts) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
      if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
      if (!text.empty()) lines.push_back(text.substr(start, i - start));
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    for (std::string_view lineBreak : {"\r\n", "\n", "\r"}) {
      EXPECT_EQ(Fb2FileBytes(text, cp1251, nullptr, false, lineBreak),
                Fb2FileBytes(lines, false, lineBreak))
          << text;
    }
    std::vector<std::string> utf8 = lines;
    for (std::string& line : utf8) line = cp1251.ToUtf8(line);
    EXPECT_EQ(Fb2FileBytes(text, cp1251, &cp1251, true, "\n"), Fb2FileBytes(utf8, true, "\n"))
        << text;
  }
}

// A byte the declared code page does not define is written as a visible replacement, never as
// itself (which no reader of that encoding takes) and never left out.
TEST(Fb2Saving, BytesTheDeclaredCodePageLacksBecomeReplacementCharacters) {
  const platform::CodePage cp1251(1251), cp1252(1252);
  const std::string text =
      "a\x98"
      "b\x81"
      "c\x8D\x8F\x90\x9D\r\nd";
  EXPECT_EQ(Fb2FileBytes(text, cp1251, &cp1251, false, "\r\n"),
            "a&#65533;b\x81"
            "c\x8D\x8F\x90\x9D\r\nd");
  // Bytes of windows-1251 text under a windows-1252 declaration: judged by the declaration.
  EXPECT_EQ(Fb2FileBytes(text, cp1251, &cp1252, false, "\n"),
            "a\x98"
            "b&#65533;c&#65533;&#65533;&#65533;&#65533;\nd");
  // No single-byte declaration: nothing to judge by.
  EXPECT_EQ(Fb2FileBytes(text, cp1251, nullptr, false, "\r\n"), text);
  // UTF-8: the byte's character in the text's code page, U+FFFD where it has none.
  EXPECT_EQ(Fb2FileBytes("a\x98\xCF", cp1251, nullptr, true, "\r\n"), "a\xEF\xBF\xBD\xD0\x9F\r\n");
}

TEST(Fb2Saving, SingleByteCodePagesByName) {
  EXPECT_EQ(SingleByteCodePageNamed("windows-1251"), 1251);
  EXPECT_EQ(SingleByteCodePageNamed("windows-874"), 874);
  EXPECT_EQ(SingleByteCodePageNamed("windows-1258"), 1258);
  for (const char* name : {"", "utf-8", "windows-932", "windows-1259", "windows-", "windows-12x1",
                           "gb2312", "mac-cyrillic-2000", "windows-12511"})
    EXPECT_EQ(SingleByteCodePageNamed(name), 0) << name;
}

TEST(Fb2Saving, Names) {
  struct Case {
    const char* Path;
    const char* Archive;
    const char* Entry;
    const char* Forced;
  } cases[] = {
      {"/books/Tale.fb2", "/books/Tale.fb2.zip", "Tale.fb2", "/books/Tale.fb2"},
      {"/books/Tale.FB2", "/books/Tale.FB2.zip", "Tale.fb2", "/books/Tale.FB2"},
      {"/books/Tale.txt", "/books/Tale.txt.zip", "Tale.fb2", "/books/Tale.fb2"},
      {"/books/Tale", "/books/Tale.zip", "Tale.fb2", "/books/Tale.fb2"},
      {"/a.b/Tale", "/a.b/Tale.zip", "Tale.fb2", "/a.b/Tale.fb2"},
      {"Tale.tar.gz", "Tale.tar.gz.zip", "Tale.tar.fb2", "Tale.tar.fb2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZipArchiveName(c.Path), c.Archive);
    EXPECT_EQ(ZipEntryName(c.Path), c.Entry);
    EXPECT_EQ(WithFb2Extension(c.Path), c.Forced);
  }
}

TEST(Fb2Saving, DeclaredEncodingOfTheFirstLinesOfAWholeText) {
  EXPECT_EQ(DeclaredEncodingName("<?xml version=\"1.0\" ENCODING=\"Windows-1251\"?>\r\n<a/>"),
            "windows-1251");
  EXPECT_EQ(DeclaredEncodingName("x\rencoding=\"a\nencoding=\"b\"\r\n"), "ab");
  std::string late;
  for (int i = 0; i < 200; ++i) late += "\n";
  EXPECT_EQ(DeclaredEncodingName(late + "encoding=\"utf-8\""), "");
  EXPECT_EQ(DeclaredEncodingName(late.substr(1) + "encoding=\"utf-8\""), "utf-8");
  EXPECT_EQ(DeclaredEncodingName(std::string_view()), "");
}

TEST(Fb2Saving, DeclaredEncodingOfTheFirstLines) {
  struct Case {
    std::vector<std::string> Lines;
    std::string Name;
  } cases[] = {
      {{"<?xml version=\"1.0\" encoding=\"windows-1251\"?>", "<FictionBook>"}, "windows-1251"},
      {{"<?xml version=\"1.0\" ENCODING=\"UTF-8\"?>"}, "utf-8"},
      {{"<?xml version=\"1.0\"?>", "<p>encoding=\"koi8\" twice</p>", "encoding=\"x"}, "koi8x"},
      {{"<?xml encoding='utf-8'?>"}, ""},
      {{}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DeclaredEncodingName(c.Lines), c.Name);

  std::vector<std::string> late(200, "<p/>");
  late.push_back("encoding=\"utf-8\"");
  EXPECT_EQ(DeclaredEncodingName(late), "");
  late[199] = "encoding=\"utf-8\"";
  EXPECT_EQ(DeclaredEncodingName(late), "utf-8");
}

TEST(Fb2Saving, WritesPlainOrPacked) {
  TempFolder folder;
  const std::string path = folder / "Tale.fb2";
  WriteFb2File(path, kFb2, false);
  EXPECT_EQ(ReadFile(path), kFb2);
  EXPECT_TRUE(testsupport::IsWellFormedXml(ReadFile(path)));
  std::filesystem::remove(path);
  WriteFb2File(path, kFb2, true);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"Tale.fb2.zip"});
  EXPECT_EQ(testsupport::ReadZip(path + ".zip")["Tale.fb2"].Content, kFb2);
}

}  // namespace
}  // namespace output
