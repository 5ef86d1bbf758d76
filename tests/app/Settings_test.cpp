#include "app/Settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/PlainTextEditor.h"
#include "app/Session.h"
#include "support/FakeUserInterface.h"
#include "support/Xml.h"

namespace app {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest()
      : folder(fs::temp_directory_path() / ("vellumor_settings_" + std::to_string(::getpid()))),
        path((folder / "vellumor.ini").string()) {
    fs::create_directories(folder);
  }
  ~SettingsTest() override { fs::remove_all(folder); }

  // Loads `text` as the settings file over first-start settings.
  ConversionSettings Load(std::string_view text, WindowPlacement* placement = nullptr) {
    testsupport::WriteFile(path, text);
    ConversionSettings s;
    const WindowPlacement p = LoadSettings(IniFile(path), s);
    if (placement) *placement = p;
    return s;
  }

  fs::path folder;
  std::string path;
};

TEST_F(SettingsTest, FirstStartGivesEveryDefault) {
  ConversionSettings s;
  s.MaxImageWidth = 123;      // the number fields' current values are their defaults
  s.RepairStructure = false;  // the structure repair is on unless the file turns it off
  const WindowPlacement p = LoadSettings(IniFile((folder / "none.ini").string()), s);
  EXPECT_EQ(p.Left, 10);
  EXPECT_EQ(p.Top, 10);
  EXPECT_EQ(p.Width, 10);
  EXPECT_EQ(p.Height, 10);
  EXPECT_EQ(p.State, WindowState::Normal);
  const ConversionSettings d;
  EXPECT_EQ(s.MaxImageWidth, 123);
  EXPECT_EQ(s.ResizeImages, d.ResizeImages);
  EXPECT_EQ(s.MaxImageHeight, d.MaxImageHeight);
  EXPECT_EQ(s.TableMode, d.TableMode);
  EXPECT_EQ(s.TableBorder, TableBorder::Visible);
  EXPECT_EQ(s.TableFontName, "Tahoma");
  EXPECT_EQ(s.TableFontSize, 8);
  EXPECT_FALSE(s.ShowHyperlinks);
  EXPECT_FALSE(s.PackToZip);
  EXPECT_EQ(s.TitleHeadingLevel, 0);
  EXPECT_TRUE(s.ShowTitleInfo);
  EXPECT_EQ(s.DefaultLanguage, "ru");
  EXPECT_FALSE(s.UtfOutput);
  EXPECT_EQ(s.Charset, 4);
  EXPECT_EQ(s.InterfaceLanguage, InterfaceLanguage::English);
  EXPECT_EQ(s.OtherLanguageFile, "");
  EXPECT_TRUE(s.RepairStructure);
  EXPECT_TRUE(d.RepairStructure);
  EXPECT_FALSE(fs::exists(folder / "none.ini"));  // reading creates nothing
}

TEST_F(SettingsTest, RoundTrip) {
  ConversionSettings s;
  s.ResizeImages = false;
  s.MaxImageWidth = 800;
  s.MaxImageHeight = -1;
  s.TableMode = TableMode::ContentOnly;
  s.TableBorder = TableBorder::AsSource;
  s.TableFontName = "DejaVu Sans";
  s.TableFontSize = 11;
  s.ShowHyperlinks = true;
  s.PackToZip = true;
  s.TitleHeadingLevel = 5;
  s.ShowTitleInfo = false;
  s.DefaultLanguage = " en ";
  s.UtfOutput = true;
  s.Charset = 17;
  s.InterfaceLanguage = InterfaceLanguage::Other;
  s.OtherLanguageFile = "/usr/share/vellumor/Vellumor_de.lng";
  s.RepairStructure = false;
  const WindowPlacement p{-5, 30, 900, 700, WindowState::Minimized};
  IniFile file(path);
  SaveSettings(file, s, p);

  ConversionSettings r;
  const WindowPlacement q = LoadSettings(file, r);
  EXPECT_EQ(q.Left, -5);
  EXPECT_EQ(q.Top, 30);
  EXPECT_EQ(q.Width, 900);
  EXPECT_EQ(q.Height, 700);
  EXPECT_EQ(q.State, WindowState::Minimized);
  EXPECT_EQ(r.ResizeImages, false);
  EXPECT_EQ(r.MaxImageWidth, 800);
  EXPECT_EQ(r.MaxImageHeight, -1);
  EXPECT_EQ(r.TableMode, TableMode::ContentOnly);
  EXPECT_EQ(r.TableBorder, TableBorder::AsSource);
  EXPECT_EQ(r.TableFontName, "DejaVu Sans");
  EXPECT_EQ(r.TableFontSize, 11);
  EXPECT_TRUE(r.ShowHyperlinks);
  EXPECT_TRUE(r.PackToZip);
  EXPECT_EQ(r.TitleHeadingLevel, 5);
  EXPECT_FALSE(r.ShowTitleInfo);
  EXPECT_EQ(r.DefaultLanguage, "en");  // blanks around values are not part of them
  EXPECT_TRUE(r.UtfOutput);
  EXPECT_EQ(r.Charset, 17);
  EXPECT_EQ(r.InterfaceLanguage, InterfaceLanguage::Other);
  EXPECT_EQ(r.OtherLanguageFile, "/usr/share/vellumor/Vellumor_de.lng");
  EXPECT_FALSE(r.RepairStructure);

  const std::string text = testsupport::ReadFile(path);
  // The default language is stored as typed; the key layout is the one older files use.
  EXPECT_NE(text.find("[Edits]\r\nELang= en \r\n"), std::string::npos);
  EXPECT_NE(text.find("[RadioButtons]\r\nRadioButton1=0\r\nRadioButton2=0\r\nRadioButton3=1\r\n"
                      "RadioButton4=1\r\nRadioButton5=0\r\nRadioButton6=0\r\nRadioButton7=1\r\n"
                      "RadioButton8=0\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("[CheckBoxes]\r\nCheckBox18=0\r\nChBZIp=1\r\nChBHyperLinks=1\r\n"
                      "ChBShowTitleInfo=0\r\n"),
            std::string::npos);
}

TEST_F(SettingsTest, MaximizedWindowKeepsTheLastNormalPlacement) {
  IniFile file(path);
  SaveSettings(file, {}, {40, 50, 600, 520, WindowState::Normal});
  SaveSettings(file, {}, {0, 0, 1920, 1080, WindowState::Maximized});
  ConversionSettings s;
  const WindowPlacement p = LoadSettings(file, s);
  EXPECT_EQ(p.State, WindowState::Maximized);
  EXPECT_EQ(p.Left, 40);
  EXPECT_EQ(p.Top, 50);
  EXPECT_EQ(p.Width, 600);
  EXPECT_EQ(p.Height, 520);
  EXPECT_NE(testsupport::ReadFile(path).find("State=0"), std::string::npos);
}

TEST_F(SettingsTest, HandEditedFiles) {
  WindowPlacement p;
  // Other letter case, blanks, junk values and keys that are missing.
  ConversionSettings s = Load(
      "[POSITION]\nposx = 0x20\nState=7\nWidth=wide\n"
      "[checkboxes]\ncheckbox18=0\nchbshowtitleinfo=junk\n"
      "[MAIN]\nISUTF=1\nTBFONTSIZE=big\ntbfontname=Liberation Serif\n"
      "[intvalues]\nSpinEdit1=-40\nSpinEdit2=\n",
      &p);
  EXPECT_EQ(p.Left, 32);
  EXPECT_EQ(p.Width, 10);
  EXPECT_EQ(p.State, WindowState::Normal);
  EXPECT_FALSE(s.ResizeImages);
  EXPECT_TRUE(s.ShowTitleInfo);
  EXPECT_TRUE(s.UtfOutput);
  EXPECT_EQ(s.TableFontSize, 8);
  EXPECT_EQ(s.TableFontName, "Liberation Serif");
  EXPECT_EQ(s.MaxImageWidth, -40);
  EXPECT_EQ(s.MaxImageHeight, 700);
  EXPECT_EQ(s.DefaultLanguage, "ru");
}

TEST_F(SettingsTest, ListIndexesOutsideTheirListsReadAsDefaults) {
  struct Case {
    const char* Combo1;
    const char* Combo2;
    int Level;
    int Charset;
  };
  const Case cases[] = {
      {"5", "17", 5, 17},    {"6", "18", 0, 4},          {"-1", "-1", 0, 4},
      {"0x3", "0xD", 3, 13}, {"2147483647", "99", 0, 4}, {"H2", "RUSSIAN", 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Combo1) + " / " + c.Combo2);
    const ConversionSettings s =
        Load(std::string("[ComboBoxes]\nCombo1=") + c.Combo1 + "\nCombo2=" + c.Combo2 + "\n");
    EXPECT_EQ(s.TitleHeadingLevel, c.Level);
    EXPECT_EQ(s.Charset, c.Charset);
  }
}

TEST_F(SettingsTest, MainSectionDecidesOverTheCheckBoxes) {
  ConversionSettings s = Load("[CheckBoxes]\nChBZIp=1\nChBHyperLinks=1\n[main]\nzip=0\n");
  EXPECT_FALSE(s.PackToZip);
  EXPECT_FALSE(s.ShowHyperlinks);  // "hyper" missing reads as off
  s = Load("[CheckBoxes]\nChBZIp=0\n[main]\nzip=1\nhyper=1\n");
  EXPECT_TRUE(s.PackToZip);
  EXPECT_TRUE(s.ShowHyperlinks);
}

TEST_F(SettingsTest, RadioGroupsApplyInReadingOrder) {
  struct Case {
    const char* Keys;
    TableMode Mode;
    TableBorder Border;
    InterfaceLanguage Language;
  };
  const Case cases[] = {
      // Several true keys: the last wins.
      {"RadioButton6=1\nRadioButton7=1\nRadioButton8=1\n", TableMode::ConvertToImage,
       TableBorder::Visible, InterfaceLanguage::English},
      // All false: no selection, read as AsIs / AsSource / no language file.
      {"RadioButton1=0\nRadioButton2=0\nRadioButton3=0\nRadioButton4=0\nRadioButton5=0\n"
       "RadioButton6=0\nRadioButton7=0\nRadioButton8=0\n",
       TableMode::AsIs, TableBorder::AsSource, InterfaceLanguage::None},
      // A false key clears only its own option; missing keys leave the group alone.
      {"RadioButton7=1\nRadioButton6=0\n", TableMode::ContentOnly, TableBorder::Visible,
       InterfaceLanguage::English},
      {"RadioButton5=0\n", TableMode::AsIs, TableBorder::AsSource, InterfaceLanguage::English},
      {"RadioButton4=0\n", TableMode::AsIs, TableBorder::Visible, InterfaceLanguage::English},
      {"RadioButton2=1\nRadioButton1=1\n", TableMode::AsIs, TableBorder::Visible,
       InterfaceLanguage::Russian},  // reading order, not file order
      {"RadioButton1=0\n", TableMode::AsIs, TableBorder::Visible, InterfaceLanguage::None},
      {"RadioButton8=junk\n", TableMode::AsIs, TableBorder::Visible, InterfaceLanguage::English},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Keys);
    const ConversionSettings s = Load(std::string("[RadioButtons]\n") + c.Keys);
    EXPECT_EQ(s.TableMode, c.Mode);
    EXPECT_EQ(s.TableBorder, c.Border);
    EXPECT_EQ(s.InterfaceLanguage, c.Language);
  }
}

TEST_F(SettingsTest, NoLanguageSelectedIsSavedAsAllOff) {
  ConversionSettings s;
  s.InterfaceLanguage = InterfaceLanguage::None;
  IniFile file(path);
  SaveSettings(file, s, {});
  ConversionSettings r;
  LoadSettings(file, r);
  EXPECT_EQ(r.InterfaceLanguage, InterfaceLanguage::None);
}

TEST_F(SettingsTest, ExportIntoAFileWithOtherSectionsKeepsThem) {
  const std::string other =
      "; exported by hand\r\n[main]\r\nisUtf=1\r\n\r\n[CheckBoxes]\r\nChBZIp=0\r\nMine=5\r\n";
  testsupport::WriteFile(path, other);
  ConversionSettings s;
  s.PackToZip = true;
  s.ResizeImages = false;
  s.UtfOutput = false;  // not a check-box option: not written
  IniFile file(path);
  ExportOptions(file, s);
  EXPECT_EQ(testsupport::ReadFile(path),
            "; exported by hand\r\n[main]\r\nisUtf=1\r\n\r\n[CheckBoxes]\r\nChBZIp=1\r\nMine=5\r\n"
            "CheckBox18=0\r\nChBHyperLinks=0\r\nChBShowTitleInfo=1\r\n");
}

TEST_F(SettingsTest, ImportReadsOnlyTheCheckBoxes) {
  ConversionSettings s;
  s.ShowHyperlinks = true;
  testsupport::WriteFile(path, "[CheckBoxes]\nChBZIp=1\n[main]\nzip=0\nisUtf=1\n");
  ImportOptions(IniFile(path), s);
  EXPECT_TRUE(s.PackToZip);
  EXPECT_TRUE(s.ShowHyperlinks);  // missing key: unchanged
  EXPECT_FALSE(s.UtfOutput);

  // A file without the section changes nothing.
  testsupport::WriteFile(path, "[Other]\nChBZIp=0\n");
  ImportOptions(IniFile(path), s);
  EXPECT_TRUE(s.PackToZip);
  EXPECT_TRUE(s.ShowHyperlinks);
}

TEST_F(SettingsTest, AFailedSaveStopsAtTheFirstKey) {
  const std::string bad = (folder / "missing" / "vellumor.ini").string();
  IniFile file(bad);
  try {
    SaveSettings(file, {}, {});
    FAIL() << "the save should fail";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + bad);
  }
}

TEST(SettingsPath, BesideTheProgramElseTheConfigFolder) {
  EXPECT_EQ(ChooseSettingsPath("/opt/v/bin", "vellumor", true, "/x", "/home/u"),
            "/opt/v/bin/vellumor.ini");
  EXPECT_EQ(ChooseSettingsPath("/opt/v/bin", "vellumor", false, "/x/cfg", "/home/u"),
            "/x/cfg/vellumor/vellumor.ini");
  // XDG_CONFIG_HOME must be absolute to count.
  EXPECT_EQ(ChooseSettingsPath("/opt/v/bin", "vellumor", false, "", "/home/u"),
            "/home/u/.config/vellumor/vellumor.ini");
  EXPECT_EQ(ChooseSettingsPath("/opt/v/bin", "vellumor", false, "rel", "/home/u"),
            "/home/u/.config/vellumor/vellumor.ini");
  EXPECT_EQ(ChooseSettingsPath("/opt/v/bin", "vellumor", false, "", ""), "/opt/v/bin/vellumor.ini");
  EXPECT_EQ(SettingsFilePath(fs::temp_directory_path().string()),
            (fs::temp_directory_path() / "vellumor.ini").string());
}

// --- Through the session

class SessionSettingsTest : public SettingsTest {
 protected:
  SessionSettingsTest() : session(ui, source, result, folder.string(), path) {}

  testsupport::FakeUserInterface ui;
  PlainTextEditor source, result;
  Session session;
};

TEST_F(SessionSettingsTest, LoadingAppliesTheSavedCharset) {
  testsupport::WriteFile(path, "[ComboBoxes]\nCombo2=13\n[main]\nisUtf=1\n");
  const WindowPlacement p = session.LoadSettings();
  EXPECT_EQ(p.State, WindowState::Normal);
  EXPECT_EQ(session.Settings().Charset, 13);
  EXPECT_EQ(session.Encoding().CurrentCharset, 204);
  EXPECT_EQ(session.Encoding().FontCharset, 204);
  // UtfOutput is read but takes effect only when the window is shown.
  EXPECT_TRUE(session.Settings().UtfOutput);
  EXPECT_FALSE(session.Encoding().Utf8TogglePressed);
  EXPECT_EQ(ui.StatusText(1), "utf-8");
  session.SetUtfOutput(session.Settings().UtfOutput);
  EXPECT_TRUE(session.Encoding().Utf8TogglePressed);
}

TEST_F(SessionSettingsTest, SaveFailureShowsTheMessage) {
  PlainTextEditor s2, r2;
  const std::string bad = (folder / "file" / "vellumor.ini").string();
  testsupport::WriteFile((folder / "file").string(), "not a folder");
  Session broken(ui, s2, r2, folder.string(), bad);
  EXPECT_FALSE(broken.SaveSettings({}));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Caption, "Vellumor");
  EXPECT_EQ(ui.Messages[0].Text, "Unable to write to " + bad);

  EXPECT_TRUE(session.SaveSettings({}));
  EXPECT_TRUE(fs::exists(path));
}

TEST_F(SessionSettingsTest, SaveCreatesTheConfigFolder) {
  PlainTextEditor s2, r2;
  const std::string nested = (folder / "cfg" / "vellumor" / "vellumor.ini").string();
  Session other(ui, s2, r2, folder.string(), nested);
  EXPECT_TRUE(other.SaveSettings({}));
  EXPECT_TRUE(fs::exists(nested));
}

TEST_F(SessionSettingsTest, ExportAndImportCommands) {
  const std::string exported = (folder / "options").string();  // no extension is added
  session.Settings().PackToZip = true;
  ui.AnswerSave(exported);
  session.Act_SaveOption();
  ASSERT_EQ(ui.Dialogs.size(), 1u);
  EXPECT_EQ(ui.Dialogs[0].Kind, testsupport::FakeUserInterface::DialogKind::Save);
  EXPECT_EQ(ui.Dialogs[0].Title, "Save settings");
  ASSERT_EQ(ui.Dialogs[0].Filters.size(), 2u);
  EXPECT_EQ(ui.Dialogs[0].Filters[0].Caption, "Text Files (*.txt)");
  EXPECT_EQ(ui.Dialogs[0].Filters[0].Patterns, "*.txt");
  EXPECT_EQ(ui.Dialogs[0].Filters[1].Caption, "All Files (*.*)");
  EXPECT_EQ(ui.Dialogs[0].Filters[1].Patterns, "*.*");
  EXPECT_EQ(ui.Dialogs[0].DefaultExtension, "");
  EXPECT_TRUE(fs::exists(exported));

  session.Settings().PackToZip = false;
  session.Book().PackToZip = false;
  ui.AnswerOpen(exported);
  session.Act_openOptions();
  EXPECT_EQ(ui.Dialogs.back().Title, "Open settings file");
  EXPECT_TRUE(session.Settings().PackToZip);
  EXPECT_TRUE(session.Book().PackToZip);  // the dialog's box follows

  // Cancelled dialogs do nothing.
  session.Act_SaveOption();
  session.Act_openOptions();
  EXPECT_EQ(ui.Dialogs.size(), 4u);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(SessionSettingsTest, ExportFailureShowsTheMessage) {
  const std::string bad = (folder / "nope" / "options.txt").string();
  ui.AnswerSave(bad);
  session.Act_SaveOption();
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Unable to write to " + bad);
}

}  // namespace
}  // namespace app
