#include "source/ExportNames.h"

#include <gtest/gtest.h>

#include <set>

#include "support/TempFolder.h"
#include "support/Xml.h"

namespace source {
namespace {

TEST(ExportNamesTest, BlanksBecomeUnderscoresAndAlternativesAreNumbered) {
  struct Case {
    const char* Source;
    int Number;
    const char* Html;
    const char* Folder;
  };
  const Case cases[] = {
      {"D/My Book.doc", 0, "D/My_Book.htm", "D/My_Book.files"},
      {"D/My Book.doc", 1, "D/My_Book_1.htm", "D/My_Book_1.files"},
      {"D/My Book.doc", 12, "D/My_Book_12.htm", "D/My_Book_12.files"},
      {"/x/a.b c.rtf", 0, "/x/a.b_c.htm", "/x/a.b_c.files"},
      {"/x/a.b c.rtf", 2, "/x/a.b_c_2.htm", "/x/a.b_c_2.files"},
      // Only the file name changes, not the folder; the extension's letter case does not matter.
      {"/my docs/Tale.DOCX", 0, "/my docs/Tale.htm", "/my docs/Tale.files"},
      {"/d/ lead  twice .rtf", 0, "/d/_lead__twice_.htm", "/d/_lead__twice_.files"},
  };
  for (const Case& c : cases) {
    const ExportName name = WordExportName(c.Source, c.Number);
    EXPECT_EQ(name.Html, c.Html) << c.Source << " #" << c.Number;
    EXPECT_EQ(name.PictureFolder, c.Folder) << c.Source << " #" << c.Number;
  }
}

TEST(ExportNamesTest, SkipsNamesWhoseFileOrPictureFolderIsTaken) {
  const std::set<std::string> taken = {"D/My_Book.htm", "D/My_Book_1.files"};
  const ExportName name = ChooseWordExportName(
      "D/My Book.doc", [&](const std::string& path) { return taken.count(path) > 0; });
  EXPECT_EQ(name.Html, "D/My_Book_2.htm");
}

TEST(ExportNamesTest, AnyEntryTakesAName) {
  testsupport::TempFolder dir;
  testsupport::WriteFile(dir / "file.htm", "x");
  std::filesystem::create_directory(dir / "folder.files");
  std::filesystem::create_symlink(dir / "nowhere", dir / "dangling.htm");
  EXPECT_TRUE(PathTaken(dir / "file.htm"));
  EXPECT_TRUE(PathTaken(dir / "folder.files"));
  EXPECT_TRUE(PathTaken(dir / "dangling.htm"));
  EXPECT_FALSE(PathTaken(dir / "free.htm"));
}

}  // namespace
}  // namespace source
