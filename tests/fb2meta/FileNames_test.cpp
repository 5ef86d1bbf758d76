#include "fb2meta/FileNames.h"

#include <gtest/gtest.h>

#include "fb2meta/BookInfo.h"
#include "platform/CodePage.h"

namespace fb2meta {
namespace {

const platform::CodePage& Cp1251() {
  static const platform::CodePage codePage(1251);
  return codePage;
}

// Test texts are written in UTF-8 and used as windows-1251 bytes.
std::string Ansi(std::string_view utf8) {
  return Cp1251().FromUtf8(utf8).value();
}

TEST(FileNames, ProposalsFromTitleAndFirstAuthor) {
  struct Case {
    const char* Last;
    const char* First;
    const char* Middle;
    const char* Title;
    const char* Variant1;
    const char* Variant2;
  } cases[] = {
      {"Petrova", "Anna", "Ivanovna", "Quiet Harbour", "Petrova A.I. Quiet Harbour.fb2",
       "Petrova_A._Quiet_Harbour.fb2"},
      {"", "", "", "Война и мир", "Война и мир.fb2", "Voyna_I_Mir.fb2"},
      {"", "Anna", "I", "Tale", "Tale.fb2", "Tale.fb2"},
      {"Иванов", "", "", "", "Иванов..fb2", "Ivanov.fb2"},
      {"Иванов", "", "Петрович", "Сказка", "Иванов. Сказка.fb2", "Ivanov_Skazka.fb2"},
      {"Петрова", "Жанна", "", "", "Петрова Ж..fb2", "Petrova_Zh..fb2"},
      {"Петрова", "Жанна", "", "Дом", "Петрова Ж. Дом.fb2", "Petrova_Zh._Dom.fb2"},
      {"Петрова", "Жанна", "Юрьевна", "", "Петрова Ж.Ю..fb2", "Petrova_Zh..fb2"},
      {"", "", "", "What? Now: yes", "What Now yes.fb2", "What_Now_Yes.fb2"},
      {"Smith/Jones", "", "", "", "SmithJones..fb2", "Smithjones.fb2"},
      {"", "", "", "a<b>c*d|e\"f\\g", "abcdefg.fb2", "Abcdefg.fb2"},
      {"", "", "", "Съёмка  в Щёлково", "Съёмка  в Щёлково.fb2", "Semka__V_Shelkovo.fb2"},
      {"", "Anna", "", "", "", ""},
  };
  for (const Case& c : cases) {
    std::array<std::string, 2> names =
        ComputeFileNames(Ansi(c.Last), Ansi(c.First), Ansi(c.Middle), Ansi(c.Title), Cp1251());
    EXPECT_EQ(names[0], Ansi(c.Variant1)) << c.Last << "|" << c.First << "|" << c.Title;
    EXPECT_EQ(names[1], c.Variant2) << c.Last << "|" << c.First << "|" << c.Title;
  }
}

TEST(FileNames, ProposeKeepsThePreviousTextWhenNothingComesOut) {
  BookInfo info;
  ProposeFileNames(info, Cp1251());
  EXPECT_EQ(info.FileNameProposals, (std::array<std::string, 2>{"1", "2"}));

  info.BookTitle = "Tale";
  info.Authors[1].LastName = "Other";  // only the first row counts
  ProposeFileNames(info, Cp1251());
  EXPECT_EQ(info.FileNameProposals, (std::array<std::string, 2>{"Tale.fb2", "Tale.fb2"}));

  info.BookTitle.clear();
  ProposeFileNames(info, Cp1251());
  EXPECT_EQ(info.FileNameProposals, (std::array<std::string, 2>{"Tale.fb2", "Tale.fb2"}));

  // Texts are used as they stand, blanks included.
  info.Authors[0].LastName = " Lee";
  ProposeFileNames(info, Cp1251());
  EXPECT_EQ(info.FileNameProposals[0], " Lee..fb2");
  EXPECT_EQ(info.FileNameProposals[1], "_lee.fb2");
}

TEST(FileNames, TransliterateLowerCasesThenReplacesCyrillicBytes) {
  const std::string expected = "abvgdeezhziyklmnoprstufhcchshshyejuja";
  EXPECT_EQ(Transliterate(Ansi("абвгдеёжзийклмнопрстуфхцчшщъыьэюя"), Cp1251()), expected);
  EXPECT_EQ(Transliterate(Ansi("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"), Cp1251()), expected);
  EXPECT_EQ(Transliterate("Hello, World 42!", Cp1251()), "hello, world 42!");
  // Other letters of the code page are lower-cased by its rules and kept.
  EXPECT_EQ(Transliterate(Ansi("ЎЇІЄ"), Cp1251()), Ansi("ўїіє"));
}

TEST(FileNames, Capitalizing) {
  struct Case {
    const char* In;
    const char* First;
    const char* Parts;
  } cases[] = {
      {"", "", ""},
      {"abc", "Abc", "Abc"},
      {"quiet_harbour_inn", "Quiet_harbour_inn", "Quiet_Harbour_Inn"},
      {"a_", "A_", "A"},
      {"_a", "_a", "_A"},
      {"__a__b_", "__a__b_", "A__B"},
      {"1st_x", "1st_x", "1st_X"},
      {"\xE0\xE1_c", "\xE0\xE1_c", "\xE0\xE1_C"},  // only a to z change
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CapitalizeFirst(c.In), c.First) << c.In;
    EXPECT_EQ(CapitalizeParts(c.In), c.Parts) << c.In;
  }
}

TEST(FileNames, ForbiddenCharactersAndSpaces) {
  EXPECT_EQ(RemoveForbiddenFileChars("a?b:c<d>e\"f*g\\h/i|j.k"), "abcdefghij.k");
  EXPECT_EQ(SpacesToUnderscores(" a b\tc "), "_a_b\tc_");
}

}  // namespace
}  // namespace fb2meta
