// The "Settings" and "Common Settings" pages: values in and out, what the user's actions report,
// and the table font dialog.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "app/ConversionSettings.h"
#include "app/ui/CommonSettingsPage.h"
#include "app/ui/SettingsPage.h"
#include "app/ui/TableFontDialog.h"

// Readable failure messages for Qt text and the dialog's value.
void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace app::ui {
void PrintTo(const TableFontChoice& font, std::ostream* os) {
  *os << '{' << font.Name.toStdString() << ", " << font.Size << '}';
}
}  // namespace app::ui

namespace {

using app::ConversionSettings;
using app::InterfaceLanguage;
using app::TableBorder;
using app::TableMode;
using app::ui::CommonSettingsPage;
using app::ui::SettingsPage;
using app::ui::TableFontChoice;
using app::ui::TableFontDialog;

// The fields the two pages own, for comparing records.
auto OwnedFields(const ConversionSettings& s) {
  return std::make_tuple(s.ResizeImages, s.MaxImageWidth, s.MaxImageHeight, s.TableMode,
                         s.TableBorder, s.TableFontName, s.TableFontSize, s.ShowHyperlinks,
                         s.PackToZip, s.TitleHeadingLevel, s.ShowTitleInfo, s.DefaultLanguage,
                         s.RepairStructure, s.Charset, s.InterfaceLanguage, s.OtherLanguageFile);
}

// The fields neither page owns, which reading must leave alone.
auto ForeignFields(const ConversionSettings& s) {
  return std::make_tuple(s.UtfOutput, s.FileNameVariant, s.BatchOutputFolder);
}

// A record differing from every case below in every field, so each field read is seen.
ConversionSettings Scrambled() {
  ConversionSettings s;
  s.ResizeImages = false;
  s.MaxImageWidth = 7777;
  s.MaxImageHeight = 8888;
  s.TableMode = TableMode::ContentOnly;
  s.TableBorder = TableBorder::AsSource;
  s.TableFontName = "Scrambled";
  s.TableFontSize = 99;
  s.ShowHyperlinks = true;
  s.PackToZip = true;
  s.TitleHeadingLevel = 2;
  s.ShowTitleInfo = false;
  s.DefaultLanguage = "xx";
  s.RepairStructure = false;
  s.Charset = 9;
  s.InterfaceLanguage = InterfaceLanguage::Russian;
  s.OtherLanguageFile = "/scrambled.lng";
  s.UtfOutput = true;
  s.FileNameVariant = 2;
  s.BatchOutputFolder = "/scrambled";
  return s;
}

template <typename T>
T* Child(QWidget& page, const char* name) {
  return page.findChild<T*>(QString::fromLatin1(name));
}

// Both pages, shown at the size the main window gives them.
class SettingsPagesTest : public ::testing::Test {
 protected:
  SettingsPagesTest() {
    for (QWidget* page : {static_cast<QWidget*>(&settings), static_cast<QWidget*>(&common)}) {
      page->resize(530, 400);
      page->show();
    }
  }

  void Show(const ConversionSettings& s) {
    settings.ShowSettings(s);
    common.ShowSettings(s);
  }
  ConversionSettings Read(ConversionSettings into = Scrambled()) const {
    settings.ReadSettings(into);
    common.ReadSettings(into);
    return into;
  }
  void Click(const char* name) {
    QWidget* control = Child<QWidget>(settings, name);
    if (control == nullptr) control = Child<QWidget>(common, name);
    ASSERT_NE(control, nullptr) << name;
    // Near the left edge: a check box or radio button takes clicks on its box and caption only.
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
  }

  SettingsPage settings;
  CommonSettingsPage common;
};

// --- Values in and out

struct RoundTripCase {
  const char* Name;
  std::function<void(ConversionSettings&)> Change;
};

class SettingsRoundTrip : public SettingsPagesTest,
                          public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(SettingsRoundTrip, ShowThenReadGivesEveryOwnedFieldBackAndLeavesTheRestAlone) {
  ConversionSettings shown;
  GetParam().Change(shown);
  Show(shown);
  const ConversionSettings read = Read();
  EXPECT_EQ(OwnedFields(read), OwnedFields(shown));
  EXPECT_EQ(ForeignFields(read), ForeignFields(Scrambled()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsRoundTrip,
    ::testing::Values(RoundTripCase{"Defaults", [](ConversionSettings&) {}},
                      RoundTripCase{"EveryFieldChanged",
                                    [](ConversionSettings& s) {
                                      s.ResizeImages = false;
                                      s.MaxImageWidth = 1234;
                                      s.MaxImageHeight = 56;
                                      s.TableMode = TableMode::ContentOnly;
                                      s.TableBorder = TableBorder::AsSource;
                                      s.TableFontName = "DejaVu Sans";
                                      s.TableFontSize = 11;
                                      s.ShowHyperlinks = true;
                                      s.PackToZip = true;
                                      s.TitleHeadingLevel = 5;
                                      s.ShowTitleInfo = false;
                                      s.DefaultLanguage = "en";
                                      s.RepairStructure = true;
                                      s.Charset = 13;
                                      s.InterfaceLanguage = InterfaceLanguage::Russian;
                                      s.OtherLanguageFile =
                                          "/tmp/lang/\xD0\x9C\xD0\xBE\xD0\xB9.lng";  // UTF-8
                                    }},
                      RoundTripCase{"ImageTablesOtherLanguage",
                                    [](ConversionSettings& s) {
                                      s.TableMode = TableMode::ConvertToImage;
                                      s.TableBorder = TableBorder::Visible;
                                      s.MaxImageWidth = -5;
                                      s.MaxImageHeight = 0;
                                      s.TitleHeadingLevel = 3;
                                      s.Charset = 17;
                                      s.InterfaceLanguage = InterfaceLanguage::Other;
                                      s.OtherLanguageFile = "/opt/my lang/German.lng";
                                      s.DefaultLanguage = " de ";  // blanks stay as typed
                                    }},
                      RoundTripCase{"NoLanguageSelected",
                                    [](ConversionSettings& s) {
                                      s.InterfaceLanguage = InterfaceLanguage::None;
                                      s.Charset = 0;
                                      s.TitleHeadingLevel = 1;
                                    }},
                      // Text fields hold code-page bytes (the tests run with code page 1251).
                      RoundTripCase{"CodePageText",
                                    [](ConversionSettings& s) {
                                      s.DefaultLanguage = "\xF0\xF3";                 // "ру"
                                      s.TableFontName = "\xD8\xF0\xE8\xF4\xF2 \xC0";  // "Шрифт А"
                                      s.MaxImageWidth = 2147483647;
                                      s.MaxImageHeight = -2147483647 - 1;
                                    }}),
    [](const ::testing::TestParamInfo<RoundTripCase>& param) { return param.param.Name; });

TEST_F(SettingsPagesTest, ShowSettingsSwitchesBetweenValuesNotJustFromTheDefaults) {
  // Each radio group moves from one option to another and back, including from "none".
  const std::vector<InterfaceLanguage> languages = {
      InterfaceLanguage::None, InterfaceLanguage::Other, InterfaceLanguage::None,
      InterfaceLanguage::Russian, InterfaceLanguage::English};
  const std::vector<TableMode> modes = {TableMode::ConvertToImage, TableMode::AsIs,
                                        TableMode::ContentOnly, TableMode::AsIs,
                                        TableMode::ConvertToImage};
  for (size_t i = 0; i < languages.size(); ++i) {
    ConversionSettings s;
    s.InterfaceLanguage = languages[i];
    s.TableMode = modes[i];
    s.TableBorder = i % 2 ? TableBorder::AsSource : TableBorder::Visible;
    Show(s);
    const ConversionSettings read = Read();
    EXPECT_EQ(read.InterfaceLanguage, languages[i]) << i;
    EXPECT_EQ(read.TableMode, modes[i]) << i;
    EXPECT_EQ(read.TableBorder, s.TableBorder) << i;
  }
}

TEST_F(SettingsPagesTest, IndexesOutsideTheirListsShowTheListsDefaults) {
  ConversionSettings s;
  s.TitleHeadingLevel = 6;
  s.Charset = 18;
  Show(s);
  EXPECT_EQ(Read().TitleHeadingLevel, 0);
  EXPECT_EQ(Read().Charset, app::kDefaultCharsetIndex);
  s.TitleHeadingLevel = -1;
  s.Charset = -1;
  Show(s);
  EXPECT_EQ(Read().TitleHeadingLevel, 0);
  EXPECT_EQ(Read().Charset, app::kDefaultCharsetIndex);
}

TEST_F(SettingsPagesTest, TableGroupsWithoutSelectionReadAsTheConversionTreatsThem) {
  Show(ConversionSettings{});
  for (const char* name : {"RadioButton6", "RadioButton5"}) {
    auto* option = Child<QRadioButton>(settings, name);
    ASSERT_NE(option->group(), nullptr);
    option->group()->setExclusive(false);
    option->setChecked(false);
  }
  const ConversionSettings read = Read();
  EXPECT_EQ(read.TableMode, TableMode::AsIs);
  EXPECT_EQ(read.TableBorder, TableBorder::AsSource);
}

// --- Number fields

struct NumberCase {
  const char* Text;
  int Value;
};

class NumberFields : public SettingsPagesTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberFields, TextThatIsNoNumberReadsZero) {
  for (const char* name : {"SpinEdit1", "SpinEdit2"}) {
    Child<QLineEdit>(settings, name)->setText(QString::fromUtf8(GetParam().Text));
  }
  const ConversionSettings read = Read();
  EXPECT_EQ(read.MaxImageWidth, GetParam().Value);
  EXPECT_EQ(read.MaxImageHeight, GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberFields,
                         ::testing::Values(NumberCase{"abc", 0}, NumberCase{"-5", -5},
                                           NumberCase{"", 0}, NumberCase{"-", 0},
                                           NumberCase{" 42 ", 42}, NumberCase{"12abc", 0},
                                           NumberCase{"99999999999", 0},
                                           NumberCase{"-2147483648", -2147483647 - 1}));

TEST_F(SettingsPagesTest, NumberFieldsTakeATypedMinusSignAndRefuseLetters) {
  auto* width = Child<QLineEdit>(settings, "SpinEdit1");
  QSignalSpy edited(&settings, &SettingsPage::SettingsEdited);
  width->selectAll();
  QTest::keyClicks(width, "-5");
  EXPECT_EQ(Read().MaxImageWidth, -5);
  EXPECT_EQ(edited.count(), 2);
  QTest::keyClicks(width, "x");
  EXPECT_EQ(width->text(), "-5");
}

// --- Signals

TEST_F(SettingsPagesTest, ShowSettingsEmitsNoSignal) {
  QSignalSpy edited(&settings, &SettingsPage::SettingsEdited);
  QSignalSpy zip(&settings, &SettingsPage::PackToZipToggled);
  QSignalSpy font(&settings, &SettingsPage::TableFontChosen);
  QSignalSpy commonEdited(&common, &CommonSettingsPage::SettingsEdited);
  QSignalSpy language(&common, &CommonSettingsPage::LanguageChosen);
  QSignalSpy charset(&common, &CommonSettingsPage::CharsetChosen);
  // The controls' own change signals are blocked too, for anybody listening to them.
  QSignalSpy zipBox(Child<QCheckBox>(settings, "ChBZIp"), &QCheckBox::toggled);
  QSignalSpy charsetList(Child<QComboBox>(common, "Combo2"), &QComboBox::currentIndexChanged);
  QSignalSpy otherOption(Child<QRadioButton>(common, "RadioButton3"), &QRadioButton::toggled);

  ConversionSettings s;
  s.PackToZip = true;
  s.Charset = 13;
  s.InterfaceLanguage = InterfaceLanguage::Other;
  s.TableFontName = "DejaVu Sans";
  s.TableMode = TableMode::ConvertToImage;
  s.MaxImageWidth = 1;
  s.DefaultLanguage = "en";
  Show(s);
  s.InterfaceLanguage = InterfaceLanguage::None;
  Show(s);

  for (QSignalSpy* spy : {&edited, &zip, &font, &commonEdited, &language, &charset, &zipBox,
                          &charsetList, &otherOption}) {
    EXPECT_EQ(spy->count(), 0) << spy->signal().constData();
  }
}

TEST_F(SettingsPagesTest, UserTogglingPackToZipReportsTheNewState) {
  QSignalSpy zip(&settings, &SettingsPage::PackToZipToggled);
  QSignalSpy edited(&settings, &SettingsPage::SettingsEdited);
  Click("ChBZIp");
  Click("ChBZIp");
  ASSERT_EQ(zip.count(), 2);
  EXPECT_EQ(zip.at(0).at(0).toBool(), true);
  EXPECT_EQ(zip.at(1).at(0).toBool(), false);
  EXPECT_EQ(edited.count(), 2);

  // Setting the box from the other "Pack to zip" control does not echo back.
  Child<QCheckBox>(settings, "ChBZIp")->setChecked(true);
  EXPECT_EQ(zip.count(), 2);
}

TEST_F(SettingsPagesTest, EveryUserChangeOnTheSettingsPageIsReported) {
  const ConversionSettings before = Read();
  QSignalSpy edited(&settings, &SettingsPage::SettingsEdited);
  QSignalSpy zip(&settings, &SettingsPage::PackToZipToggled);
  int expected = 0;
  for (const char* name : {"ChBShowTitleInfo", "CheckBox18", "ChBHyperLinks", "ChBRepair",
                           "RadioButton7", "RadioButton8", "RadioButton4"}) {
    Click(name);
    EXPECT_EQ(edited.count(), ++expected) << name;
  }
  QTest::keyClicks(Child<QLineEdit>(settings, "ELang"), "x");
  EXPECT_EQ(edited.count(), ++expected);
  QTest::keyClick(Child<QComboBox>(settings, "Combo1"), Qt::Key_Down);
  EXPECT_EQ(edited.count(), ++expected);
  EXPECT_EQ(zip.count(), 0);

  const ConversionSettings read = Read();
  EXPECT_EQ(read.ShowTitleInfo, !before.ShowTitleInfo);
  EXPECT_EQ(read.ResizeImages, !before.ResizeImages);
  EXPECT_EQ(read.ShowHyperlinks, !before.ShowHyperlinks);
  EXPECT_EQ(read.RepairStructure, !before.RepairStructure);
  EXPECT_EQ(read.PackToZip, before.PackToZip);
  EXPECT_EQ(read.TableMode, TableMode::ConvertToImage);
  EXPECT_EQ(read.TableBorder, TableBorder::AsSource);
  EXPECT_EQ(read.DefaultLanguage, before.DefaultLanguage + "x");
  EXPECT_EQ(read.TitleHeadingLevel, before.TitleHeadingLevel + 1);
}

TEST_F(SettingsPagesTest, PickingACharsetReportsItsIndex) {
  QSignalSpy charset(&common, &CommonSettingsPage::CharsetChosen);
  QSignalSpy edited(&common, &CommonSettingsPage::SettingsEdited);
  auto* list = Child<QComboBox>(common, "Combo2");
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_End);
  ASSERT_EQ(charset.count(), 2);
  EXPECT_EQ(charset.at(0).at(0).toInt(), app::kDefaultCharsetIndex + 1);
  EXPECT_EQ(charset.at(1).at(0).toInt(), 17);
  EXPECT_EQ(edited.count(), 2);
  EXPECT_EQ(Read().Charset, 17);
}

TEST_F(SettingsPagesTest, CharsetListHoldsTheEighteenNamesInOrder) {
  auto* list = Child<QComboBox>(common, "Combo2");
  ASSERT_EQ(list->count(), static_cast<int>(std::size(app::kCharsetNames)));
  for (int i = 0; i < list->count(); ++i) EXPECT_EQ(list->itemText(i), app::kCharsetNames[i]);
  EXPECT_EQ(list->currentText(), "DEFAULT_CHARSET");
}

TEST_F(SettingsPagesTest, ClickingAnyLanguageOptionReportsIt) {
  QSignalSpy language(&common, &CommonSettingsPage::LanguageChosen);
  QSignalSpy edited(&common, &CommonSettingsPage::SettingsEdited);
  Click("RadioButton3");
  EXPECT_EQ(Read().InterfaceLanguage, InterfaceLanguage::Other);
  Click("RadioButton3");  // a click on the selected option applies its file again
  Click("RadioButton2");
  EXPECT_EQ(Read().InterfaceLanguage, InterfaceLanguage::Russian);
  EXPECT_EQ(language.count(), 3);
  EXPECT_EQ(edited.count(), 3);
}

TEST_F(SettingsPagesTest, LanguageOptionsStayExclusiveAfterShowingNone) {
  ConversionSettings s;
  s.InterfaceLanguage = InterfaceLanguage::None;
  Show(s);
  Click("RadioButton2");
  Click("RadioButton1");
  EXPECT_FALSE(Child<QRadioButton>(common, "RadioButton2")->isChecked());
  EXPECT_EQ(Read().InterfaceLanguage, InterfaceLanguage::English);
}

TEST_F(SettingsPagesTest, RussianOptionCanBeDisabled) {
  auto* russian = Child<QRadioButton>(common, "RadioButton2");
  common.SetRussianAvailable(false);
  EXPECT_FALSE(russian->isEnabled());
  Click("RadioButton2");
  EXPECT_EQ(Read().InterfaceLanguage, InterfaceLanguage::English);
  common.SetRussianAvailable(true);
  EXPECT_TRUE(russian->isEnabled());
}

// --- The two dialogs, through their hooks

TEST_F(SettingsPagesTest, FontLabelReadsTahoma8ByDefault) {
  EXPECT_EQ(Child<QLabel>(settings, "Label6")->text(), "Tahoma, 8");
}

TEST_F(SettingsPagesTest, FontChosenInTheDialogIsShownAndRead) {
  std::vector<TableFontChoice> asked;
  settings.SetFontChooser([&](const TableFontChoice& current, QWidget* parent) {
    asked.push_back(current);
    EXPECT_EQ(parent, &settings);
    return std::optional<TableFontChoice>(TableFontChoice{"DejaVu Sans", 11});
  });
  QSignalSpy font(&settings, &SettingsPage::TableFontChosen);
  QSignalSpy edited(&settings, &SettingsPage::SettingsEdited);
  Click("SBFont");

  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], (TableFontChoice{"Tahoma", 8}));
  EXPECT_EQ(Child<QLabel>(settings, "Label6")->text(), "DejaVu Sans, 11");
  EXPECT_EQ(font.count(), 1);
  EXPECT_EQ(edited.count(), 1);
  const ConversionSettings read = Read();
  EXPECT_EQ(read.TableFontName, "DejaVu Sans");
  EXPECT_EQ(read.TableFontSize, 11);
}

TEST_F(SettingsPagesTest, CancelledFontDialogChangesNothing) {
  settings.SetFontChooser([](const TableFontChoice&, QWidget*) { return std::nullopt; });
  QSignalSpy font(&settings, &SettingsPage::TableFontChosen);
  QSignalSpy edited(&settings, &SettingsPage::SettingsEdited);
  Click("SBFont");
  EXPECT_EQ(Child<QLabel>(settings, "Label6")->text(), "Tahoma, 8");
  EXPECT_EQ(font.count(), 0);
  EXPECT_EQ(edited.count(), 0);
  EXPECT_EQ(Read().TableFontName, "Tahoma");
}

TEST_F(SettingsPagesTest, FontFollowsTheSettingsShownNotTheLabelText) {
  ConversionSettings s;
  s.TableFontName = "Liberation Serif";
  s.TableFontSize = 14;
  Show(s);
  EXPECT_EQ(Child<QLabel>(settings, "Label6")->text(), "Liberation Serif, 14");
  // A language file may give the label another text; the font stays what was shown.
  Child<QLabel>(settings, "Label6")->setText("Schrift");
  std::optional<TableFontChoice> asked;
  settings.SetFontChooser([&](const TableFontChoice& current, QWidget*) {
    asked = current;
    return std::optional<TableFontChoice>();
  });
  Click("SBFont");
  EXPECT_EQ(asked, (TableFontChoice{"Liberation Serif", 14}));
  EXPECT_EQ(Read().TableFontName, "Liberation Serif");
  EXPECT_EQ(Read().TableFontSize, 14);
}

TEST_F(SettingsPagesTest, LanguageFileChosenIsStoredAndReportedKeepingTheOption) {
  std::vector<QString> asked;
  common.SetLanguageFileChooser([&](const QString& current, QWidget*) {
    asked.push_back(current);
    return QString::fromUtf8("/home/u/\xD1\x8F\xD0\xB7\xD1\x8B\xD0\xBA.lng");
  });
  ConversionSettings s;
  s.OtherLanguageFile = "/old.lng";
  Show(s);
  QSignalSpy language(&common, &CommonSettingsPage::LanguageChosen);
  QSignalSpy edited(&common, &CommonSettingsPage::SettingsEdited);
  Click("SpeedButton1");

  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "/old.lng");
  EXPECT_EQ(language.count(), 1);
  EXPECT_EQ(edited.count(), 1);
  EXPECT_EQ(Child<QLabel>(common, "Label1")->text(),
            QString::fromUtf8("/home/u/\xD1\x8F\xD0\xB7\xD1\x8B\xD0\xBA.lng"));
  const ConversionSettings read = Read();
  EXPECT_EQ(read.OtherLanguageFile, "/home/u/\xD1\x8F\xD0\xB7\xD1\x8B\xD0\xBA.lng");
  // The file takes effect only while "Other:" is selected; picking it leaves "English" on.
  EXPECT_EQ(read.InterfaceLanguage, InterfaceLanguage::English);
}

TEST_F(SettingsPagesTest, CancelledLanguageFileDialogChangesNothing) {
  common.SetLanguageFileChooser([](const QString&, QWidget*) { return QString(); });
  ConversionSettings s;
  s.OtherLanguageFile = "/old.lng";
  Show(s);
  QSignalSpy language(&common, &CommonSettingsPage::LanguageChosen);
  Click("SpeedButton1");
  EXPECT_EQ(language.count(), 0);
  EXPECT_EQ(Read().OtherLanguageFile, "/old.lng");
}

TEST_F(SettingsPagesTest, ALanguageFileTextForTheFileLabelBecomesTheStoredPath) {
  Child<QLabel>(common, "Label1")->setText("/from/language/file.lng");
  EXPECT_EQ(Read().OtherLanguageFile, "/from/language/file.lng");
}

// --- Names and keyboard

struct NamedControl {
  const char* Name;
  const char* Class;
  const char* Text;  // caption, or nullptr where the control has none to check
};

TEST_F(SettingsPagesTest, EveryControlIsFoundByItsName) {
  const NamedControl settingsControls[] = {
      {"GroupBox1", "QGroupBox", "Title"},
      {"ChBShowTitleInfo", "QCheckBox", "Show title info"},
      {"Label4", "QLabel", "Default language:"},
      {"ELang", "QLineEdit", nullptr},
      {"Label2", "QLabel", "Set"},
      {"Combo1", "QComboBox", nullptr},
      {"Label3", "QLabel", "as <title>...</title>"},
      {"GroupBox3", "QGroupBox", "Images:"},
      {"CheckBox18", "QCheckBox", "Resize"},
      {"Label13", "QLabel", "max width:"},
      {"SpinEdit1", "QLineEdit", nullptr},
      {"Label14", "QLabel", "max height:"},
      {"SpinEdit2", "QLineEdit", nullptr},
      {"GroupBox6", "QGroupBox", "Tables"},
      {"RadioButton6", "QRadioButton", "As is"},
      {"RadioButton7", "QRadioButton", "Content only"},
      {"RadioButton8", "QRadioButton", "Convert to image"},
      {"GroupBox2", "QGroupBox", "Table Border"},
      {"RadioButton4", "QRadioButton", "As source"},
      {"RadioButton5", "QRadioButton", "Visible"},
      {"Label5", "QLabel", "Font:"},
      {"Label6", "QLabel", "Tahoma, 8"},
      {"SBFont", "QToolButton", "..."},
      {"GroupBox4", "QGroupBox", "Other:"},
      {"ChBHyperLinks", "QCheckBox", "Show Hyperlinks"},
      {"ChBZIp", "QCheckBox", "Pack to zip"},
      {"ChBRepair", "QCheckBox", "Repair structure"},
  };
  const NamedControl commonControls[] = {
      {"GroupBox5", "QGroupBox", "Language"},      {"RadioButton1", "QRadioButton", "English"},
      {"RadioButton2", "QRadioButton", "Russian"}, {"RadioButton3", "QRadioButton", "Other:"},
      {"SpeedButton1", "QToolButton", "..."},      {"Label1", "QLabel", ""},
      {"GroupBox7", "QGroupBox", "Charset"},       {"Combo2", "QComboBox", nullptr},
  };
  auto check = [](QWidget& page, const NamedControl& control) {
    auto* widget = Child<QWidget>(page, control.Name);
    ASSERT_NE(widget, nullptr) << control.Name;
    EXPECT_TRUE(widget->inherits(control.Class)) << control.Name;
    if (control.Text == nullptr) return;
    QString text;
    if (auto* group = qobject_cast<QGroupBox*>(widget)) text = group->title();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    EXPECT_EQ(text, QString::fromUtf8(control.Text)) << control.Name;
  };
  for (const NamedControl& control : settingsControls) check(settings, control);
  for (const NamedControl& control : commonControls) check(common, control);

  auto* headings = Child<QComboBox>(settings, "Combo1");
  ASSERT_EQ(headings->count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(headings->itemText(i), QStringLiteral("H%1").arg(i + 1));
  EXPECT_EQ(Child<QToolButton>(settings, "SBFont")->toolTip(), "Change...");
  EXPECT_FALSE(Child<QCheckBox>(settings, "ChBRepair")->toolTip().isEmpty());
}

// The controls a Tab press reaches, in order, starting from the page.
std::vector<QString> TabOrder(QWidget& page) {
  std::vector<QString> names;
  for (QWidget* w = page.nextInFocusChain(); w != &page; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible() &&
        page.isAncestorOf(w)) {
      names.push_back(w->objectName());
    }
  }
  return names;
}

TEST_F(SettingsPagesTest, TabReachesEveryControlGroupByGroup) {
  EXPECT_EQ(TabOrder(settings),
            (std::vector<QString>{"ChBShowTitleInfo", "ELang", "Combo1", "ChBHyperLinks", "ChBZIp",
                                  "ChBRepair", "CheckBox18", "SpinEdit1", "SpinEdit2",
                                  "RadioButton6", "RadioButton7", "RadioButton8", "RadioButton4",
                                  "RadioButton5", "SBFont"}));
  EXPECT_EQ(TabOrder(common), (std::vector<QString>{"RadioButton1", "RadioButton2", "RadioButton3",
                                                    "SpeedButton1", "Combo2"}));
}

// --- The table font dialog

TEST(TableFontDialogTest, GivesBackTheFontItWasGivenEvenWhenTheFaceIsNotInstalled) {
  for (const TableFontChoice& font :
       {TableFontChoice{"DejaVu Sans", 11}, TableFontChoice{"Tahoma", 8},
        TableFontChoice{"No Such Face Anywhere", 72}}) {
    TableFontDialog dialog(font);
    EXPECT_EQ(dialog.Font(), font) << font.Name.toStdString();
  }
}

TEST(TableFontDialogTest, TypedFaceAndSizeComeBack) {
  TableFontDialog dialog({"Tahoma", 8});
  auto* face = dialog.findChild<QFontComboBox*>();
  auto* size = dialog.findChild<QSpinBox*>();
  ASSERT_NE(face, nullptr);
  ASSERT_NE(size, nullptr);
  face->lineEdit()->selectAll();
  QTest::keyClicks(face->lineEdit(), "DejaVu Serif");
  size->selectAll();
  QTest::keyClicks(size, "14");
  EXPECT_EQ(dialog.Font(), (TableFontChoice{"DejaVu Serif", 14}));
  EXPECT_EQ(face->count(), QFontComboBox().count());  // typing adds no entry to the list
}

TEST(TableFontDialogTest, OkNeedsAFace) {
  TableFontDialog dialog({"Tahoma", 8});
  QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
  auto* face = dialog.findChild<QFontComboBox*>();
  EXPECT_TRUE(ok->isEnabled());
  face->setEditText("  ");
  EXPECT_FALSE(ok->isEnabled());
  face->setEditText("DejaVu Sans");
  EXPECT_TRUE(ok->isEnabled());
}

// Runs TableFontDialog::Ask and answers it with one key once it is shown.
std::optional<TableFontChoice> AskAndPress(const TableFontChoice& font, Qt::Key key,
                                           std::function<void(QDialog&)> edit = {}) {
  bool answered = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    if (edit) edit(*dialog);
    QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, key);
    answered = true;
  });
  // Never hang the run when the answer went astray.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  guard.start(5000);
  std::optional<TableFontChoice> result = TableFontDialog::Ask(font, nullptr);
  EXPECT_TRUE(answered);
  return result;
}

TEST(TableFontDialogTest, EnterAcceptsAndEscapeCancels) {
  EXPECT_EQ(AskAndPress({"Tahoma", 8}, Qt::Key_Escape), std::nullopt);
  // Enter in the face list takes the face shown, installed or not, not a completion of it.
  const QStringList installed = QFontDatabase::families();
  for (const TableFontChoice& font :
       {TableFontChoice{"Tahoma", 8},
        TableFontChoice{installed.isEmpty() ? "DejaVu Sans" : installed.back(), 10}}) {
    EXPECT_EQ(AskAndPress(font, Qt::Key_Return,
                          [](QDialog& dialog) { dialog.findChild<QSpinBox*>()->setValue(12); }),
              (TableFontChoice{font.Name, 12}));
  }
}

}  // namespace
