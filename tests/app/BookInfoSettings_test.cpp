#include "app/BookInfoSettings.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "support/Xml.h"

namespace app {
namespace {

TEST(BookInfoSettings, DocumentAuthorFromTheDocInfoKeys) {
  testsupport::TempFolder folder;
  const std::string path = folder / "vellumor.ini";
  testsupport::WriteFile(path,
                         "[docinfo]\r\nAFNAME=Ivan\r\nALName=Petrov\r\nNick=ivp\r\n"
                         "Url=http://a.example/\r\nMail=a@b.c\r\n");
  fb2meta::BookInfo info;
  info.DocumentAuthor.MiddleName = "stale";
  LoadDocumentAuthor(IniFile(path), info);
  const fb2meta::DocumentAuthorInfo& d = info.DocumentAuthor;
  EXPECT_EQ(d.FirstName, "Ivan");
  EXPECT_EQ(d.LastName, "Petrov");
  EXPECT_EQ(d.MiddleName, "");  // missing keys give empty text
  EXPECT_EQ(d.NickName, "ivp");
  EXPECT_EQ(d.HomePages, "");
  EXPECT_EQ(d.EMails, "a@b.c");
  EXPECT_EQ(info.SourceUrls, "http://a.example/");
}

TEST(BookInfoSettings, DialogChoicesReadOnCreation) {
  testsupport::TempFolder folder;
  const std::string path = folder / "vellumor.ini";
  BookInfoDialogSettings defaults = LoadBookInfoDialogSettings(IniFile(path));
  EXPECT_EQ(defaults.FileNameVariant, 1);
  EXPECT_FALSE(defaults.PackToZip);
  EXPECT_FALSE(defaults.DocumentAuthorTabStops);

  testsupport::WriteFile(path, "[BookInfo]\nFManeVar=0\natabstop=1\n[main]\nzip=1\n");
  BookInfoDialogSettings stored = LoadBookInfoDialogSettings(IniFile(path));
  EXPECT_EQ(stored.FileNameVariant, 2);
  EXPECT_TRUE(stored.PackToZip);
  EXPECT_TRUE(stored.DocumentAuthorTabStops);
}

TEST(BookInfoSettings, ClosingStoresTheDocumentAuthorAndKeepsOtherLines) {
  testsupport::TempFolder folder;
  const std::string path = folder / "vellumor.ini";
  testsupport::WriteFile(path, "; mine\r\n[main]\r\nisUtf=1\r\n");
  fb2meta::BookInfo info;
  info.DocumentAuthor = {" Ivan ", "", "Petrov", "ivp", "http://h.example/", "a@b.c"};
  info.SourceUrls = "http://a.example/";
  info.FileNameVariant = 2;
  info.DocumentAuthorTabStops = true;
  IniFile file(path);
  SaveBookInfoDialogSettings(file, info);

  fb2meta::BookInfo back;
  LoadDocumentAuthor(file, back);
  EXPECT_EQ(back.DocumentAuthor.FirstName, "Ivan");  // the file form drops the blanks
  EXPECT_EQ(back.DocumentAuthor.LastName, "Petrov");
  EXPECT_EQ(back.DocumentAuthor.HomePages, "http://h.example/");
  EXPECT_EQ(back.SourceUrls, "http://a.example/");
  BookInfoDialogSettings dialog = LoadBookInfoDialogSettings(file);
  EXPECT_EQ(dialog.FileNameVariant, 2);
  EXPECT_TRUE(dialog.DocumentAuthorTabStops);
  EXPECT_EQ(testsupport::ReadFile(path).rfind("; mine\r\n[main]\r\nisUtf=1\r\n", 0), 0u);

  IniFile unwritable(folder / "vellumor.ini/below.ini");
  EXPECT_THROW(SaveBookInfoDialogSettings(unwritable, info), IniWriteError);
}

}  // namespace
}  // namespace app
