#include <gtest/gtest.h>

#include <ctime>
#include <regex>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "images/PngCodec.h"
#include "support/FakeUserInterface.h"
#include "support/TempFolder.h"
#include "support/Xml.h"

namespace app {
namespace {

// "Привет" in windows-1251, the code page the tests run in.
const std::string kPrivet = "\xcf\xf0\xe8\xe2\xe5\xf2";
constexpr int kDefaultCharsetEntry = 4;

// The local date as the date box shows it, made here rather than by the code under test.
std::string LocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%d.%m.%Y", &local);
  return text;
}

// Today's date as taken during a call: the date before it, or the one after it when the call
// ran across midnight.
template <typename Call>
std::string DateDuring(std::string& taken, Call call) {
  const std::string before = LocalDate();
  call();
  const std::string after = LocalDate();
  return taken == after ? after : before;
}

class SessionDescriptionTest : public ::testing::Test {
 protected:
  SessionDescriptionTest()
      : settingsPath(folder / "vellumor.ini"),
        session(ui, source, result, VELLUMOR_BIN_DIR, settingsPath) {
    session.ChooseCharsetEntry(kDefaultCharsetEntry);
    source.Load("<html><body><p>" + kPrivet + "</p></body></html>");
    session.Document().SourcePath = folder / "Tale.htm";
  }

  // Converts and returns the document; the conversion must succeed. An 8-bit document is
  // checked as it stands; one that declares UTF-8 as the save would write it.
  std::string Convert() {
    engine::ConversionResult converted = session.ConvertDocument();
    EXPECT_TRUE(converted.Ok) << converted.Reason;
    EXPECT_TRUE(testsupport::IsWellFormedXml(session.Settings().UtfOutput
                                                 ? session.CodePage().ToUtf8(converted.Document)
                                                 : converted.Document));
    return converted.Document;
  }

  static std::string Line(const std::string& document, std::string_view start) {
    size_t at = document.find(start);
    if (at == std::string::npos) return "";
    return document.substr(at, document.find("\r\n", at) - at);
  }

  std::string PngFile(const std::string& name) {
    images::Raster raster(4, 3, 200);
    std::string path = folder / name;
    testsupport::WriteFile(path, images::EncodePng(raster, 6));
    return path;
  }

  testsupport::TempFolder folder;
  std::string settingsPath;
  testsupport::FakeUserInterface ui;
  PlainTextEditor source;
  PlainTextEditor result;
  Session session;
};

TEST_F(SessionDescriptionTest, WithoutDialogTheDefaultsAreWritten) {
  session.Settings().ShowTitleInfo = false;
  std::string document;
  std::string written;
  const std::string today = DateDuring(written, [&] {
    document = Convert();
    const std::string date = Line(document, "   <date");
    written = date.substr(date.find('>') + 1, 10);
  });
  const std::string iso = today.substr(6, 4) + "-" + today.substr(3, 2) + "-" + today.substr(0, 2);

  EXPECT_EQ(document.substr(0, document.find("\r\n")),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>");
  EXPECT_EQ(document.find("<genre>"), std::string::npos);
  EXPECT_EQ(document.find("<coverpage>"), std::string::npos);
  EXPECT_EQ(document.find("<src-url>"), std::string::npos);
  EXPECT_NE(document.find(" <title-info>\r\n   <author>\r\n     <first-name></first-name>\r\n"
                          "     <last-name></last-name>\r\n   </author>\r\n"
                          "   <book-title>Tale</book-title>\r\n   <lang>ru</lang>\r\n"),
            std::string::npos);
  EXPECT_NE(document.find(" <document-info>\r\n   <author>\r\n     <first-name></first-name>\r\n"
                          "     <last-name></last-name>\r\n   </author>\r\n"
                          "   <program-used>Vellumor</program-used>\r\n"),
            std::string::npos);
  EXPECT_EQ(Line(document, "   <date"), "   <date value=\"" + iso + "\">" + today + "</date>");
  EXPECT_TRUE(std::regex_match(Line(document, "   <id>"), std::regex("   <id>[0-9A-F-]{36}</id>")));
  EXPECT_EQ(Line(document, "   <version>"), "   <version>1.0</version>");
  EXPECT_TRUE(ui.BookInfoShown.empty());
  EXPECT_EQ(session.Document().ProposedFb2Name, "");
  EXPECT_FALSE(std::filesystem::exists(settingsPath));  // no dialog, nothing stored
}

TEST_F(SessionDescriptionTest, DialogOkTrimsProposesAndStoresTheDocumentAuthor) {
  testsupport::WriteFile(settingsPath, "[DocInfo]\r\nNick=ivp\r\nUrl=http://src.example/\r\n");
  ui.AnswerBookInfo([](fb2meta::BookInfo& info) {
    info.BookTitle = " Quiet Harbour ";
    info.Authors[0] = {"Anna", "Ivanovna", "Petrova"};
    info.Genres = "sf_history; adventure";
    info.DocumentAuthor.EMails = "me@example.org";
    info.FileNameVariant = 2;
    return true;
  });
  std::string document;
  std::string shownDate;
  const std::string today = DateDuring(shownDate, [&] {
    document = Convert();
    if (!ui.BookInfoShown.empty()) shownDate = ui.BookInfoShown[0].DocumentDate;
  });

  ASSERT_EQ(ui.BookInfoShown.size(), 1u);
  const fb2meta::BookInfo& shown = ui.BookInfoShown[0];
  EXPECT_EQ(shown.BookTitle, "Tale");
  EXPECT_EQ(shown.Language, "ru");
  EXPECT_EQ(shown.DocumentDate, today);
  EXPECT_EQ(shown.DocumentVersion, "1");
  EXPECT_EQ(shown.DocumentAuthor.NickName, "ivp");
  EXPECT_EQ(shown.SourceUrls, "http://src.example/");
  EXPECT_EQ(shown.EncodingCaption, "windows-1251");
  EXPECT_EQ(shown.FileNameProposals[0], "Tale.fb2");

  EXPECT_NE(document.find("<book-title>Quiet Harbour</book-title>"), std::string::npos);
  EXPECT_NE(document.find("   <genre>sf_history</genre>\r\n   <genre>adventure</genre>\r\n"),
            std::string::npos);
  EXPECT_NE(document.find("     <nickname>ivp</nickname>\r\n     <email>me@example.org</email>"),
            std::string::npos);
  EXPECT_NE(document.find("<src-url>http://src.example/</src-url>"), std::string::npos);
  EXPECT_EQ(session.Document().ProposedFb2Name, "Petrova_A._Quiet_Harbour.fb2");
  EXPECT_EQ(session.Settings().FileNameVariant, 2);

  const std::string stored = testsupport::ReadFile(settingsPath);
  EXPECT_NE(stored.find("Mail=me@example.org"), std::string::npos);
  EXPECT_NE(stored.find("FManeVar=0"), std::string::npos);
}

TEST_F(SessionDescriptionTest, CancelKeepsTypedValuesButNoCoverOrProposal) {
  const std::string cover = PngFile("cover.png");
  ui.AnswerBookInfo([&](fb2meta::BookInfo& info) {
    info.BookTitle = "  Typed  ";
    info.CoverImagePath = cover;
    info.DocumentAuthor.LastName = "Keeper";
    return false;
  });
  const std::string document = Convert();
  EXPECT_NE(document.find("<book-title>  Typed  </book-title>"), std::string::npos);
  EXPECT_EQ(document.find("<coverpage>"), std::string::npos);
  EXPECT_EQ(document.find("<binary"), std::string::npos);
  EXPECT_EQ(session.Document().ProposedFb2Name, "");

  // The document author is stored on "Cancel" too and comes back next time.
  ui.AnswerBookInfoOk();
  Convert();
  ASSERT_EQ(ui.BookInfoShown.size(), 2u);
  EXPECT_EQ(ui.BookInfoShown[1].DocumentAuthor.LastName, "Keeper");
  EXPECT_EQ(ui.BookInfoShown[1].BookTitle, "Tale");  // the book itself was reset
}

TEST_F(SessionDescriptionTest, CoverPictureIsEmbeddedAfterOk) {
  const std::string cover = PngFile("Cover.png");
  ui.AnswerBookInfo([&](fb2meta::BookInfo& info) {
    info.CoverImagePath = " " + cover + " ";  // trimmed before it is looked for
    return true;
  });
  const std::string document = Convert();
  EXPECT_NE(document.find("   <coverpage><image xlink:href=\"#Cover.png\"/></coverpage>\r\n"),
            std::string::npos)
      << document.substr(0, 800);
  EXPECT_NE(document.find("<binary content-type=\"image/png\" id=\"Cover.png\">"),
            std::string::npos);
  EXPECT_TRUE(testsupport::IsWellFormedXml(document));

  // A cover path that names no file is ignored.
  ui.AnswerBookInfo([&](fb2meta::BookInfo& info) {
    info.CoverImagePath = folder / "missing.png";
    return true;
  });
  EXPECT_EQ(Convert().find("<coverpage>"), std::string::npos);
}

TEST_F(SessionDescriptionTest, DialogOutputChoicesReachTheSettings) {
  ui.AnswerBookInfo([](fb2meta::BookInfo& info) {
    info.UtfOutput = true;
    info.PackToZip = true;
    return true;
  });
  const std::string document = Convert();
  EXPECT_EQ(document.substr(0, document.find("\r\n")),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  EXPECT_TRUE(session.Settings().UtfOutput);
  EXPECT_TRUE(session.Settings().PackToZip);
  EXPECT_EQ(ui.StatusText(1), "utf-8");
}

TEST_F(SessionDescriptionTest, EmptyTitleAndAuthorProposeNoName) {
  ui.AnswerBookInfo([](fb2meta::BookInfo& info) {
    info.BookTitle.clear();
    return true;
  });
  session.Document().SourcePath.clear();
  Convert();
  EXPECT_EQ(session.Document().ProposedFb2Name, "");
}

TEST_F(SessionDescriptionTest, DialogCreationReadsTheVariant) {
  testsupport::WriteFile(settingsPath, "[BookInfo]\nFManeVar=0\natabstop=1\n");
  ui.AnswerBookInfo([](fb2meta::BookInfo& info) {
    info.BookTitle = "\xc2\xee\xe9\xed\xe0 \xe8 \xec\xe8\xf0";
    return true;
  });
  Convert();
  EXPECT_EQ(session.Document().ProposedFb2Name, "Voyna_I_Mir.fb2");
  ASSERT_EQ(ui.BookInfoShown.size(), 1u);
  EXPECT_EQ(ui.BookInfoShown[0].FileNameVariant, 2);
  EXPECT_TRUE(ui.BookInfoShown[0].DocumentAuthorTabStops);
}

TEST_F(SessionDescriptionTest, BatchConversionAsksNothing) {
  session.Document().BatchMode = true;
  session.Document().SourcePath.clear();
  const std::string document = Convert();
  EXPECT_NE(document.find("<book-title>new</book-title>"), std::string::npos);
  EXPECT_EQ(session.Document().SourcePath, "new");
  EXPECT_TRUE(ui.BookInfoShown.empty());
  EXPECT_FALSE(std::filesystem::exists(settingsPath));
}

TEST_F(SessionDescriptionTest, SettingsThatCannotBeWrittenAreReported) {
  testsupport::WriteFile(folder / "file", "x");
  Session blocked(ui, source, result, VELLUMOR_BIN_DIR, folder / "file/vellumor.ini");
  ui.AnswerBookInfoOk();
  EXPECT_TRUE(blocked.ConvertDocument().Ok);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Unable to write to " + (folder / "file/vellumor.ini"));

  // A run that only reads the settings file writes nothing.
  session.WriteBackSettings = false;
  ui.AnswerBookInfoOk();
  Convert();
  EXPECT_FALSE(std::filesystem::exists(settingsPath));
}

TEST_F(SessionDescriptionTest, GenreFileIsReadFromTheProgramFolder) {
  const std::vector<std::string>& genres = session.AvailableGenres();
  EXPECT_NE(std::find(genres.begin(), genres.end(), "adventure"), genres.end());
  EXPECT_EQ(&session.AvailableGenres(), &genres);  // read once
  Session elsewhere(ui, source, result, folder.Path().string(), settingsPath);
  EXPECT_TRUE(elsewhere.AvailableGenres().empty());
}

}  // namespace
}  // namespace app
