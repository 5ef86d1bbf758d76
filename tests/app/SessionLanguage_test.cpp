// The book's language taken from the source: the "Language" box starts with the language the
// loaded source declares, and with the settings' default language when it declares none.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/WordDocuments.h"
#include "support/Xml.h"

namespace app {
namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

constexpr int kDefaultCharsetEntry = 4;

// The text of the lang element of a book, "(none)" when it has none.
std::string LangOf(const std::string& book) {
  const size_t start = book.find("<lang>");
  const size_t end = book.find("</lang>");
  if (start == std::string::npos || end == std::string::npos) return "(none)";
  return book.substr(start + 6, end - start - 6);
}

class SessionLanguageTest : public ::testing::Test {
 protected:
  SessionLanguageTest() : session(ui, source, result, VELLUMOR_BIN_DIR, folder / "vellumor.ini") {
    session.ChooseCharsetEntry(kDefaultCharsetEntry);
    session.Settings().ShowTitleInfo = true;
    // Not the built-in "ru", so that the setting is seen to be used; trimmed when used.
    session.Settings().DefaultLanguage = " uk ";
  }

  std::string Source(const std::string& name, const std::string& html) {
    const std::string path = folder / name;
    WriteFile(path, html);
    return path;
  }

  // Converts the file as the window's Convert would, the book information dialog closed with
  // "Ok"; the language the dialog started with and the language of the book must agree.
  std::string BookLanguage(const std::string& path) {
    ui.BookInfoShown.clear();
    const SourceConversion outcome = session.ConvertSourceFile(path);
    EXPECT_TRUE(outcome.Ok) << outcome.Reason;
    const std::string book = result.Text();
    EXPECT_TRUE(testsupport::IsWellFormedXml(book));
    EXPECT_EQ(ui.BookInfoShown.size(), 1u);
    if (!ui.BookInfoShown.empty()) {
      EXPECT_EQ(ui.BookInfoShown[0].Language, LangOf(book));
    }
    return LangOf(book);
  }

  testsupport::TempFolder folder;
  testsupport::FakeUserInterface ui;
  PlainTextEditor source;
  PlainTextEditor result;
  Session session;
};

TEST_F(SessionLanguageTest, TheBookTakesTheLanguageTheSourceDeclares) {
  struct Case {
    const char* Name;
    std::string Html;
    std::string Language;
  };
  const Case cases[] = {
      {"on html", "<html lang=\"en\"><body><p>Hello</p></body></html>", "en"},
      {"xml:lang on html", "<html xml:lang=\"ru\"><body><p>Hello</p></body></html>", "ru"},
      // The cleanup drops the body's attributes: the language is read before it.
      {"on body, as Word writes it",
       "<html>\n<head>\n<meta name=Generator content=\"Microsoft Word 15\">\n</head>\n"
       "<body lang=EN-US style='tab-interval:36.0pt'>\n<div class=WordSection1>\n"
       "<p class=MsoNormal>Hello</p>\n</div>\n</body>\n</html>",
       "en"},
      {"by meta",
       "<html><head><meta http-equiv=\"Content-Language\" content=\"de-DE\"></head>"
       "<body><p>Hallo</p></body></html>",
       "de"},
      {"nothing declared", "<html><body><p>Hello</p></body></html>", "uk"},
      {"nonsense", "<html lang=XX><body lang=\"\"><p>Hello</p></body></html>", "uk"},
      {"only a paragraph", "<html><body><p lang=\"en\">Hello</p></body></html>", "uk"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BookLanguage(Source("page.htm", c.Html)), c.Language) << c.Name;
}

TEST_F(SessionLanguageTest, TheDeclaredLanguageBelongsToTheLoadedSourceOnly) {
  const std::string english = Source("english.htm", "<html lang=\"en\"><body><p>Hi</p></body>");
  const std::string plain = Source("plain.htm", "<html><body><p>Hi</p></body></html>");
  EXPECT_EQ(BookLanguage(english), "en");
  EXPECT_EQ(session.Document().SourceLanguage, "en");
  EXPECT_EQ(BookLanguage(plain), "uk") << "the next source declares nothing";
  EXPECT_EQ(BookLanguage(english), "en");

  // A text that did not come from the file: emptying the source forgets its language.
  session.ClearSourceDocument();
  EXPECT_EQ(session.Document().SourceLanguage, "");
  source.Load("<html><body><p>Typed</p></body></html>");
  engine::ConversionResult converted = session.ConvertDocument();
  ASSERT_TRUE(converted.Ok) << converted.Reason;
  EXPECT_EQ(LangOf(converted.Document), "uk");
  EXPECT_TRUE(testsupport::IsWellFormedXml(converted.Document));
}

TEST_F(SessionLanguageTest, TheUsersChoiceWinsAndAnEmptiedBoxFallsBackToTheSource) {
  const std::string english = Source("english.htm", "<html lang=\"en-US\"><body><p>Hi</p>");
  ui.AnswerBookInfo([](fb2meta::BookInfo& info) {
    info.Language = "fr";
    return true;
  });
  ASSERT_TRUE(session.ConvertSourceFile(english).Ok);
  EXPECT_EQ(LangOf(result.Text()), "fr");

  ui.AnswerBookInfo([](fb2meta::BookInfo& info) {
    info.Language = "  ";
    return true;
  });
  ASSERT_TRUE(session.ConvertSourceFile(english).Ok);
  EXPECT_EQ(LangOf(result.Text()), "en");
  EXPECT_TRUE(testsupport::IsWellFormedXml(result.Text()));
}

TEST_F(SessionLanguageTest, BatchBooksTakeTheirSourcesLanguage) {
  const std::string out = folder / "out";
  std::filesystem::create_directory(out);
  const std::string english = Source("english.htm", "<html><body lang=\"en-GB\"><p>Hi</p>");
  const std::string plain = Source("plain.htm", "<html><body><p>Hi</p></body></html>");
  ASSERT_TRUE(session.ConvertFileToFolder(english, out).Ok);
  ASSERT_TRUE(session.ConvertFileToFolder(plain, out).Ok);
  for (const auto& [name, language] : {std::pair{"english.fb2", "en"}, {"plain.fb2", "uk"}}) {
    const std::string book = ReadFile(out + "/" + name);
    EXPECT_EQ(LangOf(book), language) << name;
    EXPECT_TRUE(testsupport::IsWellFormedXml(book));
  }
  EXPECT_TRUE(ui.BookInfoShown.empty());
}

// A stand-in for LibreOffice that exports a .doc the way LibreOffice does: the body names the
// exporting program's default language, the style sheet and the paragraphs the document's.
TEST_F(SessionLanguageTest, AWordDocumentTakesTheLanguageOfItsExport) {
  const std::string program = folder / "fake-soffice";
  WriteFile(program,
            "#!/bin/sh\n"
            "out=; prev=\n"
            "for a in \"$@\"; do [ \"$prev\" = --outdir ] && out=$a; prev=$a; done\n"
            "cat > \"$out/document.html\" <<'EOF'\n"
            "<!DOCTYPE html>\n<html>\n<head>\n"
            "<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"/>\n"
            "<style type=\"text/css\">\n"
            "p.western { font-size: 12pt; so-language: de-DE }\n"
            "p.cjk { font-size: 12pt; so-language: zh-CN }\n"
            "</style>\n</head>\n"
            "<body lang=\"en-US\" dir=\"ltr\"><p lang=\"de-DE\" class=\"western\">Guten Tag.</p>\n"
            "</body>\n</html>\n"
            "EOF\n");
  chmod(program.c_str(), 0755);
  session.WordBridge.Program = program;

  EXPECT_EQ(BookLanguage(Source("Brief.doc", "not read by the stand-in")), "de");
  session.RemoveWordExport();
}

// The real exporter: a German .docx names German on its body, a .doc made of it only in its
// style sheet and paragraphs (the body then names LibreOffice's own default language).
TEST_F(SessionLanguageTest, WordDocumentsExportedByLibreOfficeKeepTheirLanguage) {
  if (!testsupport::HaveLibreOffice()) GTEST_SKIP() << "soffice is not installed";
  const std::string made = folder / "made";
  std::filesystem::create_directory(made);
  const std::string html = Source("made/Brief.html",
                                  "<html><body lang=\"de-DE\"><p>Guten Tag, meine Damen und "
                                  "Herren.</p></body></html>");
  const std::string docx = testsupport::ConvertWithLibreOffice(html, "docx:MS Word 2007 XML", made);
  ASSERT_FALSE(docx.empty());
  const std::string doc = testsupport::ConvertWithLibreOffice(docx, "doc:MS Word 97", made);
  ASSERT_FALSE(doc.empty());

  for (const std::string& document : {docx, doc}) {
    const std::string copy = folder / std::filesystem::path(document).filename().string();
    std::filesystem::copy_file(document, copy);
    EXPECT_EQ(BookLanguage(copy), "de") << copy;
    session.RemoveWordExport();
  }
}

}  // namespace
}  // namespace app
