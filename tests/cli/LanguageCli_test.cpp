// vellumor-cli convert and batch: the book's language is the one the source declares unless
// --lang names one; a source that declares none gets the settings' default language.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/Process.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace {

using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::WriteFile;

// The text of the lang element of a book, "(none)" when it has none.
std::string LangOf(const std::string& book) {
  const size_t start = book.find("<lang>");
  const size_t end = book.find("</lang>");
  if (start == std::string::npos || end == std::string::npos) return "(none)";
  return book.substr(start + 6, end - start - 6);
}

class LanguageCli : public ::testing::Test {
 protected:
  LanguageCli() {
    WriteFile(english,
              "<!DOCTYPE html>\n<html lang=\"en-US\">\n<head><title>Tale</title></head>\n"
              "<body>\n<h1>Chapter One</h1>\n<p>It was a dark night.</p>\n</body>\n</html>\n");
    WriteFile(word,
              "<html>\n<body lang=EN-GB style='tab-interval:36.0pt'>\n"
              "<p class=MsoNormal>Hello</p>\n</body>\n</html>\n");
    WriteFile(plain, "<html><body><h1>Chapter</h1><p>Text</p></body></html>");
    std::filesystem::create_directory(out);
  }

  // Runs a sub-command with a fixed date (and for convert a fixed id), the settings file
  // `settings` (none by default), and the extra arguments.
  testsupport::ProgramRun Run(const std::string& command, std::vector<std::string> extra) const {
    std::vector<std::string> args = {command, "--date", "10.12.2026", "--settings", settings};
    if (command == "convert") args.insert(args.end(), {"--id", "test-id"});
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProgram("vellumor-cli", args);
  }

  // The language of the book `convert` writes for `file` with the extra arguments.
  std::string ConvertedLanguage(const std::string& file, std::vector<std::string> extra = {}) {
    const std::string book = folder / "book.fb2";
    extra.insert(extra.begin(), {file, "-o", book});
    const auto run = Run("convert", extra);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const std::string written = ReadFile(book);
    EXPECT_TRUE(testsupport::IsWellFormedXml(written));
    return LangOf(written);
  }

  testsupport::TempFolder folder;
  const std::string english = folder / "english.html";
  const std::string word = folder / "word.htm";
  const std::string plain = folder / "plain.html";
  const std::string out = folder / "out";
  std::string settings = "/nonexistent/vellumor.ini";
};

TEST_F(LanguageCli, ConvertTakesTheDeclaredLanguageUnlessLangIsGiven) {
  EXPECT_EQ(ConvertedLanguage(english), "en");
  EXPECT_EQ(ConvertedLanguage(word), "en");
  EXPECT_EQ(ConvertedLanguage(plain), "ru") << "the built-in default language";
  EXPECT_EQ(ConvertedLanguage(english, {"--lang", "de"}), "de");
  EXPECT_EQ(ConvertedLanguage(plain, {"--lang", "de"}), "de");
}

TEST_F(LanguageCli, ConvertFallsBackToTheSettingsDefaultLanguage) {
  settings = folder / "vellumor.ini";
  WriteFile(settings, "[Edits]\r\nELang=uk\r\n");
  EXPECT_EQ(ConvertedLanguage(plain), "uk");
  EXPECT_EQ(ConvertedLanguage(english), "en");
}

TEST_F(LanguageCli, BatchGivesEachBookItsSourcesLanguageUnlessLangIsGiven) {
  for (const std::vector<std::string>& jobs :
       {std::vector<std::string>{}, std::vector<std::string>{"-j", "2"}}) {
    std::vector<std::string> args = {"-o", out, english, plain, word};
    args.insert(args.end(), jobs.begin(), jobs.end());
    const auto run = Run("batch", args);
    ASSERT_EQ(run.ExitCode, 0) << run.Err << run.Out;
    for (const auto& [name, language] :
         {std::pair{"english.fb2", "en"}, {"plain.fb2", "ru"}, {"word.fb2", "en"}}) {
      const std::string book = ReadFile(out + "/" + name);
      EXPECT_EQ(LangOf(book), language) << name << (jobs.empty() ? "" : " with workers");
      EXPECT_TRUE(testsupport::IsWellFormedXml(book));
    }
  }

  const auto run = Run("batch", {"-o", out, english, plain, "--lang", "de"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err << run.Out;
  for (const std::string name : {"english.fb2", "plain.fb2"}) {
    const std::string book = ReadFile(out + "/" + name);
    EXPECT_EQ(LangOf(book), "de") << name;
    EXPECT_TRUE(testsupport::IsWellFormedXml(book));
  }
}

}  // namespace
