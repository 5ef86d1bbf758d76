#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

#include <functional>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "support/FakeUserInterface.h"
#include "support/Xml.h"

namespace app {
namespace {

constexpr int kEncodingPanel = 1;
constexpr int kAnsi = 0, kDefault = 4, kEastEurope = 5, kHangeul = 8, kJohab = 10, kRussian = 13,
              kGreek = 7;

const std::string kDecl1251 = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n";
const std::string kDeclUtf8 = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
// "Привет" in windows-1251.
const std::string kPrivet = "\xcf\xf0\xe8\xe2\xe5\xf2";

// A result editor that lets a test act while the session is editing it, as a window's change
// events would.
class ReentrantEditor : public PlainTextEditor {
 public:
  std::function<void()> OnReplace;
  void ReplaceSelection(std::string_view text) override {
    PlainTextEditor::ReplaceSelection(text);
    if (OnReplace) OnReplace();
  }
};

// The tests run with the system code page fixed at 1251 (VELLUMOR_CODEPAGE).
class SessionEncodingTest : public ::testing::Test {
 protected:
  SessionEncodingTest() : session(ui, source, result, ".", "unused.ini") {}

  // The start-up state after loading default settings: DEFAULT_CHARSET applied from the list.
  void StartWithDefaults() { session.ChooseCharsetEntry(kDefault); }

  std::string WriteTemp(std::string_view name, std::string_view bytes) {
    const auto path =
        std::filesystem::temp_directory_path() /
        (std::string("vellumor_enc_") + std::to_string(::getpid()) + "_" + std::string(name));
    testsupport::WriteFile(path.string(), bytes);
    written.push_back(path);
    return path.string();
  }
  ~SessionEncodingTest() override {
    for (const auto& p : written) std::filesystem::remove(p);
  }

  testsupport::FakeUserInterface ui;
  PlainTextEditor source;
  ReentrantEditor result;
  Session session;
  std::vector<std::filesystem::path> written;
};

TEST_F(SessionEncodingTest, StartUpState) {
  EXPECT_EQ(session.Encoding().SystemCodePageName, "windows-1251");
  EXPECT_EQ(session.Encoding().CurrentCharset, 0);
  StartWithDefaults();
  EXPECT_EQ(session.Encoding().CurrentCharset, 1);
  EXPECT_EQ(session.Encoding().FontCharset, 1);
  EXPECT_EQ(ui.StatusText(kEncodingPanel), "windows-1251");
  EXPECT_EQ(session.Book().EncodingCaption, "windows-1251");
}

TEST_F(SessionEncodingTest, ChoosingAnEntryRewritesTheFirstExactDeclarationOnly) {
  StartWithDefaults();
  const std::string body = "<p>encoding=\"windows-1251\"</p>\r\n<?xml encoding='windows-1251'?>";
  result.Load(kDecl1251 + body);
  session.ChooseCharsetEntry(kEastEurope);
  EXPECT_EQ(result.Text(), "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n" + body);
  EXPECT_EQ(ui.StatusText(kEncodingPanel), "windows-1252");
  EXPECT_EQ(session.Encoding().CurrentCharset, 238);
  EXPECT_EQ(session.Book().EncodingCaption, "windows-1252");
  // One ordinary edit: a single undo restores the declaration.
  result.Undo();
  EXPECT_EQ(result.Text(), kDecl1251 + body);
}

TEST_F(SessionEncodingTest, ChoosingTheCurrentCharsetAgainChangesNothing) {
  StartWithDefaults();
  result.Load(kDecl1251);
  session.ChooseCharsetEntry(kAnsi);  // also declares windows-1251: no edit
  EXPECT_FALSE(result.CanUndo());
  const size_t statusCalls = ui.StatusHistory.size();
  session.ChooseCharsetEntry(kAnsi);
  EXPECT_EQ(ui.StatusHistory.size(), statusCalls);
}

TEST_F(SessionEncodingTest, ChoosingAnEntryWithUtfOutputKeepsTheDeclaration) {
  StartWithDefaults();
  session.SetUtfOutput(true);
  result.Load(kDeclUtf8 + "<p/>");
  session.ChooseCharsetEntry(kGreek);
  EXPECT_EQ(result.Text(), kDeclUtf8 + "<p/>");
  EXPECT_FALSE(result.CanUndo());
  EXPECT_EQ(session.Encoding().FontCharset, 161);
  EXPECT_EQ(ui.StatusText(kEncodingPanel), "utf-8");
}

TEST_F(SessionEncodingTest, SwitchingUtfOnAndOffTouchesOnlyTheAttribute) {
  StartWithDefaults();
  const std::string body = "<p>" + kPrivet + "</p>\r\n";
  result.Load(kDecl1251 + body);
  session.ClickUtf8Toggle(true);
  EXPECT_EQ(result.Text(), kDeclUtf8 + body);  // the body is not converted
  EXPECT_TRUE(session.Settings().UtfOutput);
  EXPECT_TRUE(session.Encoding().Utf8TogglePressed);
  EXPECT_TRUE(session.Book().UtfOutput);
  EXPECT_EQ(ui.StatusText(kEncodingPanel), "utf-8");

  session.ClickEncodingChoice(false);  // the dialog's first choice
  EXPECT_EQ(result.Text(), kDecl1251 + body);
  EXPECT_FALSE(session.Settings().UtfOutput);
  EXPECT_FALSE(session.Encoding().Utf8TogglePressed);
  EXPECT_FALSE(session.Book().UtfOutput);
  EXPECT_EQ(ui.StatusText(kEncodingPanel), "windows-1251");
}

TEST_F(SessionEncodingTest, SettingTheSameOutputEncodingMakesNoEdit) {
  StartWithDefaults();
  result.Load(kDecl1251);
  session.SetUtfOutput(false);
  EXPECT_FALSE(result.CanUndo());
  EXPECT_EQ(ui.StatusText(kEncodingPanel), "windows-1251");
}

TEST_F(SessionEncodingTest, GuardsIgnoreEventsRaisedWhileApplying) {
  StartWithDefaults();
  result.Load(kDecl1251);
  // Events that the editor raises while the session edits it are ignored.
  int calls = 0;
  result.OnReplace = [&] {
    ++calls;
    session.ChooseCharsetEntry(kRussian);
    session.ClickUtf8Toggle(false);
    session.ClickEncodingChoice(false);
  };
  session.ChooseCharsetEntry(kEastEurope);  // ApplyingCharset is set during the edit
  EXPECT_EQ(session.Encoding().CurrentCharset, 238);
  EXPECT_EQ(session.Settings().Charset, kEastEurope);
  session.ClickUtf8Toggle(true);  // SwitchingEncoding is set during the edit
  EXPECT_TRUE(session.Settings().UtfOutput);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(result.Text(), kDeclUtf8);
  EXPECT_FALSE(session.Encoding().ApplyingCharset);
  EXPECT_FALSE(session.Encoding().SwitchingEncoding);
}

TEST_F(SessionEncodingTest, DeclaredCharsetSelectsItsFirstListEntry) {
  struct Case {
    const char* Declared;
    int Charset;
    int ListIndex;  // after starting from RUSSIAN_CHARSET
  };
  const Case cases[] = {
      {"windows-1252", 238, kEastEurope},
      {"windows-949", 129, kHangeul},   // also what JOHAB declares
      {"windows-1251", 1, kDefault},    // the system's own name
      {"windows-1258", 163, kRussian},  // no entry: the selection stays
      {"koi8-r", 1, kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Declared);
    session.ChooseCharsetEntry(kRussian);
    session.SetUtfOutput(true);
    const std::string path =
        WriteTemp("decl.fb2", std::string("<?xml version=\"1.0\" encoding=\"") + c.Declared +
                                  "\"?>\r\n<FictionBook/>\r\n");
    result.Load("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    session.DetectDeclaredEncoding(path);
    EXPECT_FALSE(session.Settings().UtfOutput);
    EXPECT_EQ(session.Encoding().CurrentCharset, c.Charset);
    EXPECT_EQ(session.Encoding().FontCharset, c.Charset);
    EXPECT_EQ(session.Settings().Charset, c.ListIndex);
    EXPECT_EQ(ui.StatusText(kEncodingPanel), source::EncodingName(c.Charset, "windows-1251"));
  }
}

TEST_F(SessionEncodingTest, JohabDeclaresWindows949WhichReadsBackAsHangeul) {
  StartWithDefaults();
  session.ChooseCharsetEntry(kJohab);
  result.Load(source::XmlDeclaration(session.Encoding().CurrentCharset, false,
                                     session.Encoding().SystemCodePageName));
  EXPECT_EQ(result.Text(), "<?xml version=\"1.0\" encoding=\"windows-949\"?>\r\n");
  const std::string path = WriteTemp("johab.fb2", result.Text());
  session.ChooseCharsetEntry(kDefault);
  session.DetectDeclaredEncoding(path);
  EXPECT_EQ(session.Settings().Charset, kHangeul);
  EXPECT_EQ(session.Encoding().CurrentCharset, 129);
}

TEST_F(SessionEncodingTest, DetectingUtf8AndMissingOrUndeclaredFiles) {
  StartWithDefaults();
  session.ChooseCharsetEntry(kGreek);
  session.DetectDeclaredEncoding(
      WriteTemp("utf.fb2", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  EXPECT_TRUE(session.Settings().UtfOutput);
  EXPECT_EQ(session.Encoding().CurrentCharset, 161);  // the character set is kept
  EXPECT_EQ(ui.StatusText(kEncodingPanel), "utf-8");

  session.DetectDeclaredEncoding("/nonexistent/vellumor/book.fb2");
  EXPECT_TRUE(session.Settings().UtfOutput);
  EXPECT_EQ(session.Encoding().CurrentCharset, 161);

  // No declaration: 8-bit output, DEFAULT_CHARSET.
  session.DetectDeclaredEncoding(WriteTemp("none.fb2", "<FictionBook/>\r\n"));
  EXPECT_FALSE(session.Settings().UtfOutput);
  EXPECT_EQ(session.Encoding().CurrentCharset, 1);

  // The marker on two lines joins the values into a name that matches nothing.
  session.ChooseCharsetEntry(kGreek);
  session.DetectDeclaredEncoding(
      WriteTemp("two.fb2", "<?xml encoding=\"windows-1253\"?>\r\n<p>encoding=\"x\"</p>\r\n"));
  EXPECT_EQ(session.Encoding().CurrentCharset, 1);
}

TEST_F(SessionEncodingTest, OutputEncodingConversions) {
  EXPECT_EQ(session.ToOutputEncoding(kPrivet), kPrivet);
  EXPECT_EQ(session.FromOutputEncoding("Привет"), "Привет");
  session.SetUtfOutput(true);
  EXPECT_EQ(session.ToOutputEncoding(kPrivet), "Привет");
  EXPECT_EQ(session.FromOutputEncoding("Привет"), kPrivet);
  // Characters outside the code page stay readable as references.
  EXPECT_EQ(session.FromOutputEncoding("caf\xc3\xa9"), "caf&#233;");
  // Text that is not UTF-8 (an 8-bit line, a link target in the code page) is kept.
  EXPECT_EQ(session.FromOutputEncoding("<a href=\"" + kPrivet + "\">"),
            "<a href=\"" + kPrivet + "\">");
  EXPECT_EQ(session.FromOutputEncoding("cut \xd0"), "cut \xd0");
  EXPECT_EQ(session.FromOutputEncoding(""), "");
}

TEST_F(SessionEncodingTest, SourceEditorConversionCommands) {
  source.Load(kPrivet + "\r\n");
  source.SetText(kPrivet + "!\r\n");
  session.SetUtfOutput(true);  // neither command looks at the output encoding
  session.SetUtfOutput(false);
  session.Act_ansi2utf();
  EXPECT_EQ(source.Text(), "Привет!\r\n");
  EXPECT_FALSE(source.CanUndo());  // the history went with the old text
  session.Act_utf2ansi();
  EXPECT_EQ(source.Text(), kPrivet + "!\r\n");
  EXPECT_FALSE(source.CanUndo());

  // Running "to ansi" on 8-bit text leaves it, and its history, alone.
  source.SetText(kPrivet);
  session.Act_utf2ansi();
  EXPECT_EQ(source.Text(), kPrivet);
  EXPECT_TRUE(source.CanUndo());
}

}  // namespace
}  // namespace app
