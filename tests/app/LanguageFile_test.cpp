#include "app/LanguageFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/TempFolder.h"
#include "support/Xml.h"

namespace app {
namespace {

using testsupport::ReadFile;
using testsupport::TempFolder;
using testsupport::WriteFile;

TEST(LanguageFilePath, NamesTheFileOfTheSelectedOption) {
  struct Case {
    InterfaceLanguage Language;
    const char* Other;
    std::string Path;
  };
  const Case cases[] = {
      {InterfaceLanguage::English, "/x/mine.lng", "/opt/vellumor/Vellumor_eng.lng"},
      {InterfaceLanguage::Russian, "/x/mine.lng", "/opt/vellumor/Vellumor_ru.lng"},
      {InterfaceLanguage::Other, "/x/mine.lng", "/x/mine.lng"},
      {InterfaceLanguage::Other, "", ""},
      {InterfaceLanguage::None, "/x/mine.lng", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LanguageFilePath(c.Language, c.Other, "/opt/vellumor"), c.Path)
        << static_cast<int>(c.Language) << " " << c.Other;
  }
}

TEST(LanguageFileCodePage, TheShippedRussianFileIsWindows1251OnEverySystem) {
  EXPECT_EQ(LanguageFileCodePage("/opt/vellumor/Vellumor_ru.lng", 1252), 1251);
  EXPECT_EQ(LanguageFileCodePage("/opt/vellumor/Vellumor_eng.lng", 1252), 1252);
  EXPECT_EQ(LanguageFileCodePage("/home/u/Vellumor_ru.lng.bak", 1250), 1250);
  EXPECT_EQ(LanguageFileCodePage("/home/u/mine.lng", 1251), 1251);
}

TEST(LanguageFile, ReadsEntriesWithTheSettingsFilesRules) {
  const std::string longValue(3000, 'x');
  const LanguageFile file(
      "[FORM1]\r\nTABSHEET1=\xC8\xF1\xF2\xEE\xF7\xED\xE8\xEA\r\nEmpty=\r\n"
      "Long=" +
      longValue + "\r\n[FFind]\r\nLabel1 = Find: \r\n");
  EXPECT_EQ(file.Entry("Form1", "TabSheet1"), "\xC8\xF1\xF2\xEE\xF7\xED\xE8\xEA");  // bytes as-is
  EXPECT_EQ(file.Entry("form1", "empty"), "");
  EXPECT_EQ(file.Entry("Form1", "Long"), longValue.substr(0, 2047));
  EXPECT_EQ(file.Entry("FFind", "Label1"), "Find:");
  EXPECT_EQ(file.Entry("Form1", "Label1"), std::nullopt);
  EXPECT_EQ(file.Entry("FReplace", "Label1"), std::nullopt);
}

TEST(LanguageFile, OpensOnlyARegularFileThatIsThere) {
  TempFolder folder;
  WriteFile(folder / "a.lng", "[Form1]\r\nForm1=A\r\n");
  const std::optional<LanguageFile> file = LanguageFile::Open(folder / "a.lng");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Entry("Form1", "Form1"), "A");
  EXPECT_FALSE(LanguageFile::Open(""));
  EXPECT_FALSE(LanguageFile::Open(folder / "missing.lng"));
  EXPECT_FALSE(LanguageFile::Open(folder.Path().string()));  // a folder
}

TEST(LanguageSections, EveryWindowOnceWithItsCaptionFirst) {
  std::vector<std::string> names;
  for (const LanguageSection& section : LanguageSections()) {
    names.emplace_back(section.Name);
    ASSERT_FALSE(section.Keys.empty());
    EXPECT_EQ(section.Keys.front(), section.Name);
    std::vector<std::string_view> keys = section.Keys;
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end()) << section.Name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Form1", "AboutBox", "Form4", "FBookInfo", "FFind",
                                             "FReplace", "FBatchImages", "FGenreList", "FBatch"}));
  EXPECT_EQ(FindLanguageSection("fbatch"), &LanguageSections().back());
  EXPECT_EQ(FindLanguageSection("Form2"), nullptr);
}

TEST(WriteLanguageFile, ReplacesEntriesInPlaceAndKeepsEveryOtherLine) {
  TempFolder folder;
  const std::string path = folder / "Vellumor_eng.lng";
  WriteFile(path, "; made by hand\r\n[FORM1]\r\nTABSHEET1=Old\r\nMine=kept\r\n[Other]\r\nx=1\r\n");
  IniFile file(path);
  WriteLanguageFile(file, {{"Form1", {{"Form1", "Vellumor"}, {"TabSheet1", "Source"}}},
                           {"FFind", {{"FFind", "Find"}, {"Label1", ""}}}});
  EXPECT_EQ(ReadFile(path),
            "; made by hand\r\n[FORM1]\r\nTabSheet1=Source\r\nMine=kept\r\nForm1=Vellumor\r\n"
            "[Other]\r\nx=1\r\n[FFind]\r\nFFind=Find\r\nLabel1=\r\n");
}

TEST(WriteLanguageFile, AFailureNamesTheFile) {
  TempFolder folder;
  WriteFile(folder / "file", "");
  IniFile unwritable(folder / "file" + "/Vellumor_eng.lng");
  try {
    WriteLanguageFile(unwritable, {{"Form1", {{"Form1", "Vellumor"}}}});
    ADD_FAILURE() << "no error";
  } catch (const IniWriteError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Unable to write to " + folder / "file" + "/Vellumor_eng.lng");
  }
}

}  // namespace
}  // namespace app
