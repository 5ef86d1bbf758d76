#include <gtest/gtest.h>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/Xml.h"
#include "support/Zip.h"

namespace app {
namespace {

using testsupport::ReadFile;

// "Привет" in windows-1251 and in UTF-8.
const std::string kPrivet = "\xcf\xf0\xe8\xe2\xe5\xf2";
const std::string kPrivetUtf8 = "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82";
constexpr int kDefaultCharsetEntry = 4;

std::string Fb2(std::string_view encoding) {
  return "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) +
         "\"?>\r\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">\r\n"
         "<body><section><p>" +
         kPrivet + "</p></section></body>\r\n</FictionBook>";
}

class SessionSavingTest : public ::testing::Test {
 protected:
  SessionSavingTest() : session(ui, source, result, VELLUMOR_BIN_DIR, folder / "vellumor.ini") {
    session.ChooseCharsetEntry(kDefaultCharsetEntry);
  }

  // Converts a small Cyrillic page with the dialog answered by `answer`.
  void ConvertTale(testsupport::FakeUserInterface::BookInfoAnswer answer) {
    source.Load("<html><body><h1>" + kPrivet + "</h1><p>" + kPrivet + " & co</p></body></html>");
    session.Document().SourcePath = folder / "Tale.htm";
    ui.AnswerBookInfo(std::move(answer));
    ASSERT_TRUE(session.ConvertDocument().Ok);
  }

  testsupport::TempFolder folder;
  testsupport::FakeUserInterface ui;
  PlainTextEditor source;
  PlainTextEditor result;
  Session session;
};

TEST_F(SessionSavingTest, ConvertedDocumentIn8BitForm) {
  ConvertTale([](fb2meta::BookInfo&) { return true; });
  const std::string path = folder / "Tale.fb2";
  ui.AnswerSave(path);
  ASSERT_TRUE(session.SaveFb2As());
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes, result.Text());
  EXPECT_EQ(bytes.substr(0, 46), "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r");
  EXPECT_EQ(bytes.substr(bytes.size() - 14), "</FictionBook>");
  EXPECT_NE(bytes.find(kPrivet), std::string::npos);
  EXPECT_TRUE(testsupport::IsWellFormedXml(bytes));
  EXPECT_NE(testsupport::XmlTextContent(bytes).find(kPrivetUtf8), std::string::npos);

  ASSERT_EQ(ui.Dialogs.size(), 1u);
  EXPECT_EQ(ui.Dialogs[0].Title, "Save html file");
  ASSERT_EQ(ui.Dialogs[0].Filters.size(), 1u);
  EXPECT_EQ(ui.Dialogs[0].Filters[0].Caption, "Fiction Book files (*.fb2)");
  EXPECT_EQ(ui.Dialogs[0].Filters[0].Patterns, "*.fb2");
  EXPECT_EQ(ui.Dialogs[0].InitialPath, "Tale.fb2");  // the dialog's proposal
  EXPECT_EQ(session.Document().LastFb2Path, path);
  EXPECT_EQ(session.Document().ProposedFb2Name, path);
  EXPECT_EQ(ui.Caption, "Vellumor : " + path);
}

TEST_F(SessionSavingTest, ConvertedDocumentInUtf8Form) {
  ConvertTale([](fb2meta::BookInfo& info) {
    info.UtfOutput = true;
    return true;
  });
  const std::string path = folder / "Tale.fb2";
  ASSERT_TRUE(session.SaveFb2To(path));
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n", 0), 0u);
  EXPECT_NE(bytes.find(kPrivetUtf8), std::string::npos);  // two bytes a letter
  EXPECT_EQ(bytes.find(kPrivet), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 16), "</FictionBook>\r\n");
  EXPECT_TRUE(testsupport::IsWellFormedXml(bytes));
  // The editor keeps its 8-bit text.
  EXPECT_NE(result.Text().find(kPrivet), std::string::npos);
}

TEST_F(SessionSavingTest, TheDeclarationDecidesTheOutputEncoding) {
  struct Case {
    std::string Text;
    bool Utf;
    int Charset;
    std::string Status;
  } cases[] = {
      {Fb2("utf-8"), true, 1, "utf-8"},
      {Fb2("windows-1252"), false, 238, "windows-1252"},
      {Fb2("windows-1251"), false, 1, "windows-1251"},
      {"<FictionBook/>", false, 1, "windows-1251"},
  };
  for (const Case& c : cases) {
    session.ChooseCharsetEntry(kDefaultCharsetEntry);
    session.SetUtfOutput(!c.Utf);
    result.Load(c.Text);
    const std::string path = folder / "Doc.fb2";
    session.SaveFb2(path);
    EXPECT_EQ(session.Settings().UtfOutput, c.Utf) << c.Text;
    if (!c.Utf) {
      EXPECT_EQ(session.Encoding().CurrentCharset, c.Charset) << c.Text;
      EXPECT_EQ(ReadFile(path), c.Text);
    } else {
      EXPECT_NE(ReadFile(path).find(kPrivetUtf8), std::string::npos);
    }
    EXPECT_EQ(ui.StatusText(1), c.Status) << c.Text;
  }
}

// Bytes the declared code page leaves undefined (0x98 in windows-1251; 0x81, a letter of the
// windows-1251 text, under the windows-1252 that "EASTEUROPE_CHARSET" declares) never reach the
// saved book as they are: with repair on and off, in 8-bit and UTF-8 form, the book is XML and
// shows U+FFFD where each stood, in the body and in a title.
TEST_F(SessionSavingTest, BytesTheOutputCodePageLacksBecomeReplacementCharacters) {
  struct Case {
    bool Repair;
    bool Utf;
    int Charset;
    std::string Byte;
  } cases[] = {
      {true, false, 1, "\x98"}, {false, false, 1, "\x98"},  {true, true, 1, "\x98"},
      {false, true, 1, "\x98"}, {true, false, 238, "\x81"}, {false, false, 238, "\x8D\x90"},
  };
  const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
  for (const Case& c : cases) {
    const std::string label = std::to_string(c.Repair) + std::to_string(c.Utf) + c.Byte;
    session.Settings().RepairStructure = c.Repair;
    session.ApplyCharset(c.Charset, true);
    source.Load("<html><body><h1>T" + c.Byte + "</h1><p>a" + c.Byte + "b</p></body></html>");
    session.Document().SourcePath = folder / "Tale.htm";
    ui.AnswerBookInfo([&c](fb2meta::BookInfo& info) {
      info.UtfOutput = c.Utf;
      return true;
    });
    ASSERT_TRUE(session.ConvertDocument().Ok) << label;
    const std::string path = folder / "Tale.fb2";
    ASSERT_TRUE(session.SaveFb2To(path)) << label;
    const std::string bytes = ReadFile(path);
    EXPECT_TRUE(testsupport::IsWellFormedXml(bytes)) << label;
    if (!c.Utf) {
      EXPECT_EQ(bytes.find(c.Byte), std::string::npos) << label;
    }
    const std::string text = testsupport::XmlTextContent(bytes);
    std::string replaced;
    for (size_t i = 0; i < c.Byte.size(); ++i) replaced += kReplacement;
    EXPECT_NE(text.find("a" + replaced + "b"), std::string::npos) << label;
    EXPECT_NE(text.find("T" + replaced), std::string::npos) << label;
  }
}

TEST_F(SessionSavingTest, ADeclarationAfterLine200IsNotSeen) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "<p/>\r\n";
  text += "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
  result.Load(text);
  session.SaveFb2(folder / "Late.fb2");
  EXPECT_FALSE(session.Settings().UtfOutput);
  EXPECT_EQ(ReadFile(folder / "Late.fb2"), text);
}

TEST_F(SessionSavingTest, PackingWritesOnlyTheArchiveAndUpdatesIt) {
  result.Load(Fb2("windows-1251"));
  session.Settings().PackToZip = true;
  const std::string path = folder / "Tale.fb2";
  ASSERT_TRUE(session.SaveFb2To(path));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"Tale.fb2.zip"});
  auto entries = testsupport::ReadZip(path + ".zip");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries["Tale.fb2"].Content, Fb2("windows-1251"));
  EXPECT_TRUE(testsupport::IsWellFormedXml(entries["Tale.fb2"].Content));
  EXPECT_EQ(session.Document().LastZipPath, path + ".zip");
  EXPECT_EQ(session.Document().LastFb2Path, path);

  // Saving again replaces the entry in the same archive.
  result.Load(Fb2("utf-8"));
  ASSERT_TRUE(session.SaveFb2To(path));
  entries = testsupport::ReadZip(path + ".zip");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_NE(entries["Tale.fb2"].Content.find(kPrivetUtf8), std::string::npos);

  // A plain save forgets the archive.
  session.Settings().PackToZip = false;
  ASSERT_TRUE(session.SaveFb2To(path));
  EXPECT_EQ(session.Document().LastZipPath, "");
}

TEST_F(SessionSavingTest, SaveDialogNamesAndCancel) {
  result.Load(Fb2("windows-1251"));
  struct Case {
    std::string Chosen;
    std::string Written;
  } cases[] = {
      {"Tale", "Tale.fb2"},
      {"Tale.txt", "Tale.fb2"},
      {"Tale.FB2", "Tale.FB2"},
  };
  for (const Case& c : cases) {
    ui.AnswerSave(folder / c.Chosen);
    ASSERT_TRUE(session.SaveFb2As());
    EXPECT_TRUE(std::filesystem::exists(folder / c.Written)) << c.Chosen;
    EXPECT_EQ(session.Document().ProposedFb2Name, folder / c.Written);
  }

  // Cancel writes nothing and forgets the proposal, so "Save FB2" asks again.
  const size_t before = folder.Names().size();
  EXPECT_FALSE(session.SaveFb2As());
  EXPECT_EQ(session.Document().ProposedFb2Name, "");
  EXPECT_EQ(folder.Names().size(), before);
  const size_t dialogs = ui.Dialogs.size();
  session.Act_SaveResult();
  EXPECT_EQ(ui.Dialogs.size(), dialogs + 1);
}

TEST_F(SessionSavingTest, SaveFb2WritesTheProposalAsItStands) {
  result.Load(Fb2("windows-1251"));
  session.Document().ProposedFb2Name = folder / "Book.txt";
  session.Act_SaveResult();
  EXPECT_TRUE(ui.Dialogs.empty());
  EXPECT_EQ(ReadFile(folder / "Book.txt"), Fb2("windows-1251"));
  EXPECT_EQ(session.Document().LastFb2Path, folder / "Book.fb2");
  EXPECT_EQ(ui.Caption, "Vellumor : " + (folder / "Book.fb2"));

  // The batch save forces the extension; an empty path does nothing.
  EXPECT_TRUE(session.SaveFb2To(folder / "Batch.htm"));
  EXPECT_TRUE(std::filesystem::exists(folder / "Batch.fb2"));
  EXPECT_FALSE(session.SaveFb2To(""));
}

TEST_F(SessionSavingTest, FailedSavesShowTheReasonAndKeepEverything) {
  result.Load(Fb2("windows-1251"));
  testsupport::WriteFile(folder / "file", "x");
  const std::string blocked = folder / "file/Tale.fb2";
  ui.AnswerSave(blocked);
  EXPECT_FALSE(session.SaveFb2As());
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Cannot create file \"" + blocked + "\". Not a directory");
  EXPECT_EQ(session.Document().LastFb2Path, "");
  EXPECT_EQ(ui.Caption, "");

  // An archive name taken by a file that is no archive: the file stays as it was.
  const std::string path = folder / "Tale.fb2";
  testsupport::WriteFile(path + ".zip", "not an archive");
  session.Settings().PackToZip = true;
  EXPECT_FALSE(session.SaveFb2To(path));
  EXPECT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ReadFile(path + ".zip"), "not an archive");
  EXPECT_EQ(session.Document().LastZipPath, "");
  EXPECT_EQ(result.Text(), Fb2("windows-1251"));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Tale.fb2.zip", "file"}));
}

TEST_F(SessionSavingTest, SourceHtmlSaves) {
  source.Load("<html>\r\n<p>" + kPrivet + "</p>\r\n</html>\r\n");
  struct Case {
    std::string Chosen;
    std::string Written;
  } cases[] = {
      {"page.txt", "page.htm"},
      {"page.HTML", "page.HTML"},
      {"page", "page.htm"},
      {"other.htm", "other.htm"},
  };
  for (const Case& c : cases) {
    ui.AnswerSave(folder / c.Chosen);
    session.Act_SaveSourceHTMLAs();
    EXPECT_EQ(ReadFile(folder / c.Written), source.Text()) << c.Chosen;
    EXPECT_EQ(session.Document().SourceHtmlPath, folder / c.Written);
    EXPECT_EQ(ui.Caption, "Vellumor : " + (folder / c.Written));
  }
  EXPECT_EQ(ui.Dialogs.back().Filters[0].Caption, "HTML Files (*.htm;*.html)");
  EXPECT_EQ(ui.Dialogs.back().Filters[0].Patterns, "*.htm;*.html");

  // "Save source HTML" writes to the last name without asking.
  source.Load("<p>changed</p>");
  const size_t dialogs = ui.Dialogs.size();
  session.Act_SaveSourceHTML();
  EXPECT_EQ(ui.Dialogs.size(), dialogs);
  EXPECT_EQ(ReadFile(folder / "other.htm"), "<p>changed</p>");

  // Write errors are left to the general error display.
  ui.AnswerSave(folder / "missing-folder/x.htm");
  EXPECT_THROW(session.Act_SaveSourceHTMLAs(), std::exception);
}

}  // namespace
}  // namespace app
