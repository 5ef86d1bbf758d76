// The settings through the window: a first start, a settings file read into the controls and
// written back on close, and the couplings between controls.

#include <gtest/gtest.h>

#include <Qsci/qsciscintilla.h>
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "app/IniFile.h"
#include "app/Settings.h"
#include "app/ui/CommonSettingsPage.h"
#include "app/ui/SettingsPage.h"
#include "support/Xml.h"
#include "ui/support/ProgramFixture.h"

namespace {

using testsupport::ProgramFixture;

template <typename T>
T* Control(ProgramFixture& f, const char* name) {
  T* control = f.Window().findChild<T*>(name);
  EXPECT_NE(control, nullptr) << name;
  return control;
}

bool Checked(ProgramFixture& f, const char* name) {
  return Control<QAbstractButton>(f, name)->isChecked();
}

// What the controls hold, read the way the commands read them.
app::ConversionSettings ControlSettings(ProgramFixture& f) {
  app::ConversionSettings settings;
  f.Window().Settings().ReadSettings(settings);
  f.Window().CommonSettings().ReadSettings(settings);
  return settings;
}

void ExpectSameOptions(const app::ConversionSettings& a, const app::ConversionSettings& b) {
  EXPECT_EQ(a.ResizeImages, b.ResizeImages);
  EXPECT_EQ(a.MaxImageWidth, b.MaxImageWidth);
  EXPECT_EQ(a.MaxImageHeight, b.MaxImageHeight);
  EXPECT_EQ(a.TableMode, b.TableMode);
  EXPECT_EQ(a.TableBorder, b.TableBorder);
  EXPECT_EQ(a.TableFontName, b.TableFontName);
  EXPECT_EQ(a.TableFontSize, b.TableFontSize);
  EXPECT_EQ(a.ShowHyperlinks, b.ShowHyperlinks);
  EXPECT_EQ(a.PackToZip, b.PackToZip);
  EXPECT_EQ(a.TitleHeadingLevel, b.TitleHeadingLevel);
  EXPECT_EQ(a.ShowTitleInfo, b.ShowTitleInfo);
  EXPECT_EQ(a.DefaultLanguage, b.DefaultLanguage);
  EXPECT_EQ(a.Charset, b.Charset);
  EXPECT_EQ(a.InterfaceLanguage, b.InterfaceLanguage);
  EXPECT_EQ(a.OtherLanguageFile, b.OtherLanguageFile);
  EXPECT_EQ(a.RepairStructure, b.RepairStructure);
}

TEST(MainWindowSettingsTest, AFirstStartShowsEveryDefault) {
  ProgramFixture f;
  f.Show();
  ExpectSameOptions(ControlSettings(f), app::ConversionSettings{});
  EXPECT_TRUE(ControlSettings(f).RepairStructure);
  EXPECT_FALSE(f.Session().Settings().UtfOutput);
  EXPECT_FALSE(f.Window().Command("TBUtf")->isChecked());
  EXPECT_EQ(f.Window().StatusText(1), "windows-1251");
  EXPECT_EQ(f.Window().windowTitle(), "Vellumor");
  EXPECT_EQ(f.Window().pos(), QPoint(10, 10));
  EXPECT_EQ(f.Window().size(), QSize(542, 502));
  EXPECT_FALSE(f.Window().isMaximized());
  EXPECT_EQ(Control<QComboBox>(f, "Combo2")->currentText(), "DEFAULT_CHARSET");
}

TEST(MainWindowSettingsTest, ASettingsFileGoesIntoTheControlsAndBackOnClose) {
  const std::string file =
      "[Position]\r\nPosX=40\r\nPosY=30\r\nWidth=700\r\nHeight=600\r\nState=2\r\n"
      "[CheckBoxes]\r\nCheckBox18=0\r\nChBShowTitleInfo=0\r\n"
      "[RadioButtons]\r\nRadioButton4=1\r\nRadioButton5=0\r\nRadioButton6=0\r\n"
      "RadioButton7=1\r\nRadioButton8=0\r\n"
      "[IntValues]\r\nSpinEdit1=300\r\nSpinEdit2=-4\r\n"
      "[ComboBoxes]\r\nCombo1=2\r\nCombo2=13\r\n"
      "[Edits]\r\nELang=en\r\n"
      "[main]\r\nzip=1\r\nhyper=1\r\nrepair=0\r\nTbFontName=DejaVu Sans\r\nTbFontSize=11\r\n"
      "[Keep]\r\nmine=yes\r\n";
  app::ConversionSettings expected;
  expected.ResizeImages = false;
  expected.ShowTitleInfo = false;
  expected.TableBorder = app::TableBorder::AsSource;
  expected.TableMode = app::TableMode::ContentOnly;
  expected.MaxImageWidth = 300;
  expected.MaxImageHeight = -4;
  expected.TitleHeadingLevel = 2;
  expected.Charset = 13;
  expected.DefaultLanguage = "en";
  expected.PackToZip = true;
  expected.ShowHyperlinks = true;
  expected.RepairStructure = false;
  expected.TableFontName = "DejaVu Sans";
  expected.TableFontSize = 11;
  {
    ProgramFixture f({}, file);
    f.Show();
    ExpectSameOptions(ControlSettings(f), expected);
    EXPECT_EQ(f.Window().StatusText(1), "windows-1251");  // RUSSIAN_CHARSET
    EXPECT_EQ(f.Window().pos(), QPoint(40, 30));
    EXPECT_EQ(f.Window().size(), QSize(700, 600));
    // A language typed with blanks around it is stored with them.
    auto* language = Control<QLineEdit>(f, "ELang");
    language->selectAll();
    QTest::keyClicks(language, " en ");
    f.Window().close();
    EXPECT_NE(testsupport::ReadFile(f.SettingsPath()).find("ELang= en \r\n"), std::string::npos);
    expected.DefaultLanguage = " en ";

    app::ConversionSettings reread;
    const app::WindowPlacement placement =
        app::LoadSettings(app::IniFile(f.SettingsPath()), reread);
    expected.DefaultLanguage = "en";  // reading trims the value, as profile files are read
    ExpectSameOptions(reread, expected);
    EXPECT_EQ(placement.Left, 40);
    EXPECT_EQ(placement.Width, 700);
    EXPECT_NE(testsupport::ReadFile(f.SettingsPath()).find("[Keep]\r\nmine=yes"),
              std::string::npos);
  }
}

TEST(MainWindowSettingsTest, ZipAndHyperlinksOfMainDecideOverTheCheckBoxKeys) {
  ProgramFixture f({}, "[CheckBoxes]\r\nChBZIp=1\r\nChBHyperLinks=1\r\n[main]\r\nzip=0\r\n");
  f.Show();
  EXPECT_FALSE(Checked(f, "ChBZIp"));
  EXPECT_FALSE(Checked(f, "ChBHyperLinks"));
}

TEST(MainWindowSettingsTest, ImportingTheCheckBoxesTurnsPackToZipOnInBothPlaces) {
  testsupport::TempFolder folder;
  const std::string exported = folder / "options.txt";
  testsupport::WriteFile(exported, "[CheckBoxes]\r\nChBZIp=1\r\n");
  ProgramFixture f;
  f.Show();
  f.Dialogs().OpenAnswers.push_back(QString::fromStdString(exported));
  f.Trigger("Act_openOptions");
  EXPECT_TRUE(Checked(f, "ChBZIp"));
  EXPECT_TRUE(f.Session().Settings().PackToZip);
  EXPECT_TRUE(f.Session().Book().PackToZip);
}

TEST(MainWindowSettingsTest, PackToZipClickedReachesTheBookInformation) {
  ProgramFixture f;
  f.Show();
  Control<QCheckBox>(f, "ChBZIp")->click();
  EXPECT_TRUE(f.Session().Settings().PackToZip);
  EXPECT_TRUE(f.Session().Book().PackToZip);
}

struct RadioCase {
  const char* Keys;
  app::TableMode Mode;
  const char* CheckedButton;
};

class TableModeKeysTest : public ::testing::TestWithParam<RadioCase> {};

// A file without a true key converts tables as they are, and the window shows that choice.
TEST_P(TableModeKeysTest, TheLastTrueKeyWinsAndNoneReadsAsIs) {
  ProgramFixture f({}, std::string("[RadioButtons]\r\n") + GetParam().Keys);
  f.Show();
  EXPECT_EQ(ControlSettings(f).TableMode, GetParam().Mode);
  for (const char* name : {"RadioButton6", "RadioButton7", "RadioButton8"}) {
    const bool expected = std::string(name) == GetParam().CheckedButton;
    EXPECT_EQ(Checked(f, name), expected) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableModeKeysTest,
    ::testing::Values(RadioCase{"RadioButton6=1\r\nRadioButton7=1\r\nRadioButton8=1\r\n",
                                app::TableMode::ConvertToImage, "RadioButton8"},
                      RadioCase{"RadioButton6=0\r\nRadioButton7=0\r\nRadioButton8=0\r\n",
                                app::TableMode::AsIs, "RadioButton6"}));

TEST(MainWindowSettingsTest, KeysInOtherLetterCaseNameTheSameEntries) {
  ProgramFixture f({}, "[MAIN]\r\nISUTF=1\r\n");
  f.Show();
  EXPECT_TRUE(f.Window().Command("TBUtf")->isChecked());
  EXPECT_EQ(f.Window().StatusText(1), "utf-8");
}

TEST(MainWindowSettingsTest, WithoutTheRussianFileEnglishIsChosenAndRussianCannotBe) {
  testsupport::TempFolder withoutRussian;  // the build's folder ships the file
  ProgramFixture f({}, "[RadioButtons]\r\nRadioButton1=0\r\nRadioButton2=1\r\n",
                   withoutRussian.Path().string());
  f.Show();
  EXPECT_TRUE(Checked(f, "RadioButton1"));
  EXPECT_FALSE(Control<QRadioButton>(f, "RadioButton2")->isEnabled());

  testsupport::TempFolder programFolder;
  testsupport::WriteFile(programFolder / "Vellumor_ru.lng", "[Form1]\r\n");
  ProgramFixture withRussian({}, "[RadioButtons]\r\nRadioButton1=0\r\nRadioButton2=1\r\n",
                             programFolder.Path().string());
  withRussian.Show();
  EXPECT_TRUE(Checked(withRussian, "RadioButton2"));
  EXPECT_TRUE(Control<QRadioButton>(withRussian, "RadioButton2")->isEnabled());
}

TEST(MainWindowSettingsTest, AMaximizedWindowIsStoredAsMaximizedKeepingItsPlacement) {
  const std::string file = "[Position]\r\nPosX=40\r\nPosY=30\r\nWidth=700\r\nHeight=600\r\n";
  {
    ProgramFixture f({}, file);
    f.Show();
    f.Window().showMaximized();
    testsupport::ProcessEvents();
    f.Window().close();
    app::ConversionSettings unused;
    const app::WindowPlacement placement =
        app::LoadSettings(app::IniFile(f.SettingsPath()), unused);
    EXPECT_EQ(placement.State, app::WindowState::Maximized);
    EXPECT_EQ(placement.Left, 40);
    EXPECT_EQ(placement.Width, 700);
  }
}

TEST(MainWindowSettingsTest, ChoosingACharsetRewritesTheDeclarationAndTheStatusPanel) {
  ProgramFixture f;
  f.Show();
  f.Session().ResultEditor().Load("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<a/>\r\n");
  f.Session().SourceEditor().Load("\xC1");  // Cyrillic "Б", Greek "Α"
  auto* list = Control<QComboBox>(f, "Combo2");
  list->setCurrentIndex(7);  // GREEK_CHARSET
  emit list->activated(7);
  testsupport::ProcessEvents();
  EXPECT_EQ(f.Window().StatusText(1), "windows-1253");
  EXPECT_EQ(f.Session().ResultEditor().Text(),
            "<?xml version=\"1.0\" encoding=\"windows-1253\"?>\r\n<a/>\r\n");
  EXPECT_EQ(f.Session().Settings().Charset, 7);
  // The editors show their bytes in the chosen character set; the bytes stay.
  EXPECT_EQ(f.Window().SourceEditorWidget().text(), QString::fromUtf8("\u0391"));
  EXPECT_EQ(f.Session().SourceEditor().Text(), "\xC1");
}

TEST(MainWindowSettingsTest, AnUnwritableSettingsFileIsReportedOnClose) {
  testsupport::TempFolder folder;
  ProgramFixture f;
  f.Show();
  std::filesystem::create_directory(f.SettingsPath());  // a folder where the file should be
  f.Window().close();
  ASSERT_FALSE(f.Dialogs().Messages.empty());
  EXPECT_TRUE(f.Dialogs().Messages[0].Text.startsWith("Unable to write to"));
}

}  // namespace
