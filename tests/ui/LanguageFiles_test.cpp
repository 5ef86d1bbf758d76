// Interface language files through the program: the English file the hidden command writes, the
// shipped Russian file, the choice on "Common Settings", and the texts of every window.

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/LanguageFile.h"
#include "app/ui/CommonSettingsPage.h"
#include "app/ui/LanguageTexts.h"
#include "fb2meta/ui/BookInfoDialog.h"
#include "fb2meta/ui/GenrePicker.h"
#include "platform/CodePage.h"
#include "support/TempFolder.h"
#include "support/Xml.h"
#include "ui/support/ProgramFixture.h"

namespace {

using testsupport::ProgramFixture;
using testsupport::ReadFile;
using testsupport::TempFolder;
using testsupport::WriteFile;

const std::string kShippedFolder = VELLUMOR_SOURCE_DIR "/data/";

// A language file's sections and entries, in file order.
struct ParsedSection {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Entries;
};

std::vector<ParsedSection> Parse(const std::string& text) {
  std::vector<ParsedSection> sections;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      sections.push_back({line.substr(1, line.size() - 2), {}});
    } else if (const size_t equals = line.find('='); equals != std::string::npos) {
      if (sections.empty()) ADD_FAILURE() << "entry before any section: " << line;
      if (!sections.empty())
        sections.back().Entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    } else {
      ADD_FAILURE() << "not an entry: " << line;
    }
  }
  return sections;
}

// The keys of every window, as the English file lists them: the classic set of each window, then
// the items this program has beyond it.
struct ExpectedSection {
  const char* Name;
  std::vector<std::string> ClassicKeys;
  std::vector<std::string> OwnKeys;
};

const std::vector<ExpectedSection>& ExpectedSections() {
  static const std::vector<ExpectedSection> sections = {
      {"Form1",
       {"Form1",
        "TabSheet1",
        "TabSheet2",
        "TabSheet4",
        "TabSheet3",
        "GroupBox3",
        "Label13",
        "Label14",
        "CheckBox18",
        "GroupBox6",
        "SBFont",
        "Label5",
        "Label6",
        "GroupBox2",
        "RadioButton4",
        "RadioButton5",
        "RadioButton6",
        "RadioButton7",
        "RadioButton8",
        "GroupBox4",
        "Label2",
        "Label3",
        "ChBZIp",
        "ChBHyperLinks",
        "GroupBox1",
        "Label4",
        "ChBShowTitleInfo",
        "TabSheet5",
        "GroupBox5",
        "SpeedButton1",
        "Label1",
        "RadioButton1",
        "RadioButton2",
        "RadioButton3",
        "GroupBox7",
        "Act_OpenSource",
        "Act_SaveResultAs",
        "Act_Exit",
        "Act_ShowHelpBox",
        "Act_openOptions",
        "Act_SaveOption",
        "Act_Check",
        "Act_Convert",
        "Act_SaveAndView",
        "Act_ConvertTable",
        "EditCut1",
        "EditCopy1",
        "EditPaste1",
        "EditSelectAll1",
        "EditUndo1",
        "EditDelete1",
        "Act_SaveSourceHTMLAs",
        "Act_SaveSourceHTML",
        "Act_SaveResult",
        "Act_NewHTMLDoc",
        "Act_LoadImage",
        "Act_CopyToClip1",
        "Act_ClearMemo1",
        "Act_CopyToClip2",
        "Act_ClearMemo2",
        "Act_openFB2",
        "Act_NewFB2Doc",
        "Act_Epigraph",
        "Act_Author",
        "Act_Cite",
        "Act_poem",
        "Act_stanza",
        "Act_v",
        "Act_strong",
        "Act_emphasis",
        "Act_EmptyLine",
        "Act_p",
        "Act_Find",
        "Act_FindNext",
        "Act_Replace",
        "Act_Batch",
        "Act_BatchWindow",
        "Act_ansi2utf",
        "Act_utf2ansi",
        "mm_File1",
        "N2",
        "N3",
        "mm_N1",
        "N6",
        "Edit1",
        "N1",
        "N5",
        "mm_Help1",
        "mm_About1",
        "Unvisible1",
        "Recreate1",
        "N4"},
       {"ChBRepair", "Act_Validate"}},
      {"AboutBox", {"AboutBox", "ProductName", "Version", "Comments", "OKButton"}, {}},
      {"Form4", {"Form4"}, {"ButClose"}},
      {"FBookInfo",
       {"FBookInfo",    "ButOk",        "ButCancel", "TabSheet1",    "Label1",       "SBCover",
        "SBSelect",     "Label8",       "Label9",    "Label14",      "GroupBox1",    "Label2",
        "Label3",       "Label4",       "ButNext",   "TabSheet2",    "Label10",      "Label11",
        "Label12",      "Label13",      "Label20",   "GroupBox2",    "Label5",       "Label6",
        "Label7",       "Label17",      "Label18",   "Label19",      "ChBTabStop",   "GroupBox3",
        "RadioButton1", "RadioButton2", "GroupBox4", "RadioButton3", "RadioButton4", "ChBZIp"},
       {}},
      {"FFind",
       {"FFind", "Label1", "GroupBox1", "RadioButton1", "RadioButton2", "ButFind", "ButClose"},
       {}},
      {"FReplace",
       {"FReplace", "Label1", "Label2", "GroupBox1", "RadioButton1", "RadioButton2", "ButFind",
        "ButReplace", "ButAll", "ButClose"},
       {}},
      {"FBatchImages", {"FBatchImages", "Act_SelAll", "Act_UnSelAll", "Act_Start"}, {"ButCancel"}},
      {"FGenreList",
       {"FGenreList", "ButOk", "ButCancel", "Act_Ok", "Act_Add", "Act_Delete", "Act_Clear"},
       {}},
      {"FBatch",
       {"FBatch", "SpeedButton1", "Label1", "ButStart", "ButCancel"},
       {"TBAdd", "TBAddAll", "TBLoadFile", "TBSaveFile", "TBDelete", "TBClear"}},
  };
  return sections;
}

// Texts the Russian file keeps as the English one has them: names, codes, FB2 element names,
// separators and values the program sets.
const std::map<std::string, std::vector<std::string>>& RussianKeepsEnglish() {
  static const std::map<std::string, std::vector<std::string>> kept = {
      {"Form1",
       {"Form1",  // the program's name
        "TabSheet2",    "Label6",
        "RadioButton1", "Label1",
        "Act_Check",    "Act_Epigraph",
        "Act_Author",   "Act_Cite",
        "Act_poem",     "Act_stanza",
        "Act_v",        "Act_strong",
        "Act_emphasis", "Act_EmptyLine",
        "Act_p",        "N2",
        "N3",           "mm_N1",
        "N6",           "N1",
        "N5",           "N4"}},
      {"AboutBox", {"ProductName"}},
      {"FBookInfo",
       {"TabSheet1", "TabSheet2", "Label12", "RadioButton1", "RadioButton2", "RadioButton3",
        "RadioButton4"}},
  };
  return kept;
}

bool KeptInRussian(const std::string& section, const std::string& key) {
  const auto found = RussianKeepsEnglish().find(section);
  if (found == RussianKeepsEnglish().end()) return false;
  for (const std::string& k : found->second)
    if (k == key) return true;
  return false;
}

QString FromCodePage(const std::string& bytes, int codePage) {
  return QString::fromStdString(platform::CodePage(codePage).ToUtf8(bytes));
}

// A program whose folder holds only the given files.
using Files = std::map<std::string, std::string>;
struct ProgramInFolder {
  explicit ProgramInFolder(const Files& files, const std::string& settings = {}) {
    for (const auto& [name, text] : files) WriteFile(folder / name, text);
    program = std::make_unique<ProgramFixture>(std::vector<std::string>{}, settings,
                                               folder.Path().string());
  }
  TempFolder folder;
  std::unique_ptr<ProgramFixture> program;
};

template <typename T>
T* Item(QWidget& window, const char* name) {
  auto* item = qobject_cast<T*>(app::ui::FindLanguageItem(window, name));
  if (!item) ADD_FAILURE() << "no item " << name << " in " << window.objectName().toStdString();
  return item;
}

QWidget* WindowOf(ProgramFixture& f, const QString& section) {
  if (section == "Form1") return &f.Window();
  for (QWidget* window : f.Window().findChildren<QDialog*>(section)) return window;
  return nullptr;
}

// The windows the program makes only when first needed, made now as it would make them.
void MakeDialogsOfTheBook(ProgramFixture& f) {
  auto* book = new fb2meta::ui::BookInfoDialog({}, 1251, &f.Window());
  auto* genres = new fb2meta::ui::GenrePickerDialog({}, {}, 1251, &f.Window());
  f.Program().Languages().Adopt(*book);
  f.Program().Languages().Adopt(*genres);
}

// --- The shipped files

TEST(LanguageFiles, TheCommandWritesTheShippedEnglishFileWithEveryKeyInOrder) {
  ProgramInFolder p(Files{});
  p.program->Show();
  p.program->Trigger("Recreate1");
  EXPECT_TRUE(p.program->Dialogs().Messages.empty());
  const std::string written = ReadFile(p.folder / "Vellumor_eng.lng");
  EXPECT_EQ(written, ReadFile(kShippedFolder + "Vellumor_eng.lng"));

  const std::vector<ParsedSection> sections = Parse(written);
  ASSERT_EQ(sections.size(), ExpectedSections().size());
  for (size_t i = 0; i < sections.size(); ++i) {
    const ExpectedSection& expected = ExpectedSections()[i];
    EXPECT_EQ(sections[i].Name, expected.Name);
    std::vector<std::string> keys;
    for (const auto& entry : sections[i].Entries) keys.push_back(entry.first);
    std::vector<std::string> expectedKeys = expected.ClassicKeys;
    expectedKeys.insert(expectedKeys.end(), expected.OwnKeys.begin(), expected.OwnKeys.end());
    EXPECT_EQ(keys, expectedKeys) << expected.Name;
  }
}

TEST(LanguageFiles, TheRussianFileTranslatesEveryKeyOfTheEnglishFile) {
  const std::vector<ParsedSection> english = Parse(ReadFile(kShippedFolder + "Vellumor_eng.lng"));
  const std::vector<ParsedSection> russian = Parse(ReadFile(kShippedFolder + "Vellumor_ru.lng"));
  ASSERT_EQ(russian.size(), english.size());
  for (size_t s = 0; s < english.size(); ++s) {
    const ParsedSection& en = english[s];
    const ParsedSection& ru = russian[s];
    EXPECT_EQ(ru.Name, en.Name);
    ASSERT_EQ(ru.Entries.size(), en.Entries.size()) << en.Name;
    for (size_t k = 0; k < en.Entries.size(); ++k) {
      const auto& [key, value] = ru.Entries[k];
      const std::string& englishValue = en.Entries[k].second;
      SCOPED_TRACE(en.Name + " / " + key);
      EXPECT_EQ(key, en.Entries[k].first);
      const bool kept = KeptInRussian(en.Name, key);
      EXPECT_EQ(value == englishValue, kept) << "\"" << value << "\"";
      if (kept) continue;
      // windows-1251 Russian: not UTF-8, and with Cyrillic letters.
      const QString text = FromCodePage(value, 1251);
      EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.script() == QChar::Script_Cyrillic;
      })) << text.toStdString();
      const QString asUtf8 = QString::fromUtf8(value);
      EXPECT_FALSE(std::any_of(asUtf8.begin(), asUtf8.end(), [](QChar c) {
        return c.script() == QChar::Script_Cyrillic;
      })) << "UTF-8 text";
      // An accelerator where the English text has one, on a Russian letter.
      const qsizetype amp = text.indexOf('&');
      EXPECT_EQ(amp >= 0, englishValue.find('&') != std::string::npos) << text.toStdString();
      if (amp >= 0 && amp + 1 < text.size()) {
        EXPECT_EQ(text[amp + 1].script(), QChar::Script_Cyrillic) << text.toStdString();
      }
    }
  }
}

// --- Choosing the language

TEST(LanguageFiles, AMissingOrUnnamedFileClearsTheStoredOtherFileAndChangesNoText) {
  struct Case {
    const char* Label;
    std::string Radio;
  };
  const Case cases[] = {
      {"English without its file", "RadioButton1=1"},
      {"Other naming no file", "RadioButton1=0\r\nRadioButton3=1"},
      {"no option selected", "RadioButton1=0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Label);
    // The stored file is there, but only "Other:" would apply it.
    TempFolder elsewhere;
    WriteFile(elsewhere / "mine.lng", "[Form1]\r\nTabSheet1=Mine\r\n");
    const std::string stored = c.Radio.find("RadioButton3=1") != std::string::npos
                                   ? elsewhere / "missing.lng"
                                   : elsewhere / "mine.lng";
    ProgramInFolder p(Files{},
                      "[RadioButtons]\r\n" + c.Radio + "\r\n[Labels]\r\nLabel1=" + stored + "\r\n");
    EXPECT_EQ(p.program->Session().Settings().OtherLanguageFile, stored);
    p.program->Show();
    EXPECT_EQ(p.program->Session().Settings().OtherLanguageFile, "");
    EXPECT_EQ(Item<QLabel>(p.program->Window(), "Label1")->text(), "");
    EXPECT_EQ(p.program->Window().findChild<QTabWidget*>("PageControl1")->tabText(0), "Source");
  }
}

TEST(LanguageFiles, AWindowWithoutItsCaptionTakesTheMainWindowsCaption) {
  ProgramInFolder p(Files{{"Vellumor_eng.lng",
                           "[Form1]\r\nForm1=Main caption\r\n[FFind]\r\nLabel1=Look for:\r\n"
                           "[FReplace]\r\nFReplace=Swap\r\n"}});
  p.program->Show();
  QWidget& main = p.program->Window();
  EXPECT_EQ(main.windowTitle(), "Main caption");
  EXPECT_EQ(WindowOf(*p.program, "FFind")->windowTitle(), "Main caption");
  EXPECT_EQ(Item<QLabel>(*WindowOf(*p.program, "FFind"), "Label1")->text(), "Look for:");
  EXPECT_EQ(WindowOf(*p.program, "FReplace")->windowTitle(), "Swap");
  // A missing entry leaves its item as it was.
  EXPECT_EQ(Item<QLabel>(*WindowOf(*p.program, "FReplace"), "Label1")->text(), "Find:");
  // Windows made later get the same: the genre picker has no caption entry either.
  auto* genres = new fb2meta::ui::GenrePickerDialog({}, {}, 1251, &main);
  p.program->Program().Languages().Adopt(*genres);
  EXPECT_EQ(genres->windowTitle(), "Main caption");
}

TEST(LanguageFiles, AnEmptyValueEmptiesItsItemOfEveryKind) {
  struct Case {
    const char* Section;
    const char* Key;
  };
  const Case cases[] = {
      {"FFind", "FFind"},     {"FFind", "ButFind"},       {"Form1", "GroupBox5"},
      {"Form1", "TabSheet2"}, {"Form1", "Act_Find"},      {"Form1", "mm_File1"},
      {"Form1", "Label5"},    {"Form1", "RadioButton6"},  {"Form1", "SBFont"},
      {"Form1", "ChBZIp"},    {"FBatch", "SpeedButton1"}, {"FBatchImages", "Act_Start"},
  };
  std::map<std::string, std::string> sections;
  for (const Case& c : cases) sections[c.Section] += std::string(c.Key) + "=\r\n";
  std::string file;
  for (const auto& [name, entries] : sections) file += "[" + name + "]\r\n" + entries;
  ProgramInFolder p(Files{{"Vellumor_eng.lng", file}});
  p.program->Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Section) + " / " + c.Key);
    QWidget* window = WindowOf(*p.program, c.Section);
    ASSERT_NE(window, nullptr);
    if (std::string(c.Section) == c.Key) {
      EXPECT_EQ(window->windowTitle(), "");
      continue;
    }
    QObject* item = app::ui::FindLanguageItem(*window, c.Key);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(app::ui::LanguageItemText(*item), "");
  }
  // The speed button keeps its caption, the "Start" button follows its command.
  EXPECT_EQ(Item<QToolButton>(p.program->Window(), "SBFont")->text(), "...");
  EXPECT_EQ(WindowOf(*p.program, "FBatchImages")->findChild<QPushButton*>("ButStart")->text(), "");
  // Items without an entry keep their texts.
  EXPECT_EQ(Item<QPushButton>(*WindowOf(*p.program, "FFind"), "ButClose")->text(), "&Close");
}

TEST(LanguageFiles, AConvertEntryChangesTheCommandItsMenuItemAndItsThreeToolbarButtons) {
  ProgramInFolder p(Files{{"Vellumor_eng.lng", "[Form1]\r\nAct_Convert=Make &FB2\r\n"}});
  p.program->Show();
  app::ui::MainWindow& window = p.program->Window();
  QAction* convert = window.Command("Act_Convert");
  EXPECT_EQ(convert->text(), "Make &FB2");
  EXPECT_EQ(convert->toolTip(), "Make FB2");
  EXPECT_EQ(convert->statusTip(), "Make FB2");
  auto* file = window.findChild<QMenu*>("mm_File1");
  EXPECT_TRUE(file->actions().contains(convert));
  for (const char* bar : {"SourceToolBar", "Fb2ToolBar", "SettingsToolBar"}) {
    SCOPED_TRACE(bar);
    auto* button =
        qobject_cast<QToolButton*>(window.findChild<QToolBar*>(bar)->widgetForAction(convert));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Make FB2");
    EXPECT_EQ(button->toolTip(), "Make FB2");
  }
  // The tag commands' buttons keep their short texts.
  EXPECT_EQ(window.Command("Act_p")->iconText(), "p");
}

TEST(LanguageFiles, ThePathAndFontLabelsTakeTheFilesTexts) {
  ProgramInFolder p(Files{
      {"Vellumor_eng.lng", "[Form1]\r\nLabel1=/from/the/file.lng\r\nLabel6=Some font, 99\r\n"}});
  p.program->Show();
  // The path label is the stored setting.
  EXPECT_EQ(p.program->Session().Settings().OtherLanguageFile, "/from/the/file.lng");
  EXPECT_EQ(Item<QLabel>(p.program->Window(), "Label1")->text(), "/from/the/file.lng");
  // The font label shows the file's text until the font is shown again (after each command).
  p.program->Program().Languages().Apply(p.folder / "Vellumor_eng.lng");
  EXPECT_EQ(Item<QLabel>(p.program->Window(), "Label6")->text(), "Some font, 99");
}

TEST(LanguageFiles, AFileChosenWithTheButtonIsAppliedOnlyWhileOtherIsSelected) {
  TempFolder elsewhere;
  const std::string mine = elsewhere / "mine.lng";
  WriteFile(mine, "[Form1]\r\nTabSheet1=Mine\r\nLabel1=\r\n");
  ProgramInFolder p(Files{{"Vellumor_eng.lng", "[Form1]\r\nTabSheet1=English\r\nLabel1=\r\n"}});
  p.program->Show();
  auto& common = p.program->Window().CommonSettings();
  common.SetLanguageFileChooser(
      [&](const QString&, QWidget*) { return QString::fromStdString(mine); });
  auto* tabs = p.program->Window().findChild<QTabWidget*>("PageControl1");
  Item<QToolButton>(p.program->Window(), "SpeedButton1")->click();
  EXPECT_EQ(tabs->tabText(0), "English");
  EXPECT_EQ(p.program->Session().Settings().OtherLanguageFile, mine);
  EXPECT_EQ(p.program->Session().Settings().InterfaceLanguage, app::InterfaceLanguage::English);

  Item<QRadioButton>(p.program->Window(), "RadioButton3")->click();
  EXPECT_EQ(tabs->tabText(0), "Mine");
  // The file's own empty "Label1" entry replaced the stored path: "Other:" names no file now.
  EXPECT_EQ(p.program->Session().Settings().OtherLanguageFile, "");
  Item<QRadioButton>(p.program->Window(), "RadioButton1")->click();
  EXPECT_EQ(tabs->tabText(0), "English");
  Item<QRadioButton>(p.program->Window(), "RadioButton3")->click();
  EXPECT_EQ(tabs->tabText(0), "English");
  // With "Other:" selected, a file picked with "..." is applied at once and stays stored
  // whatever its "Label1" entry says.
  Item<QToolButton>(p.program->Window(), "SpeedButton1")->click();
  EXPECT_EQ(tabs->tabText(0), "Mine");
  EXPECT_EQ(p.program->Session().Settings().OtherLanguageFile, mine);
}

TEST(LanguageFiles, AFailedWriteOfTheEnglishFileIsReported) {
  TempFolder folder;
  WriteFile(folder / "file", "");
  ProgramFixture f({}, {}, folder / "file");  // a "folder" that is a file
  f.Show();
  f.Trigger("Recreate1");
  ASSERT_EQ(f.Dialogs().Messages.size(), 1u);
  EXPECT_EQ(f.Dialogs().Messages[0].Text.toStdString(),
            "Unable to write to " + folder / "file" + "/Vellumor_eng.lng");
}

// --- Every window, both ways

// Every text a user can read or hover in the windows, by object.
std::map<std::pair<const QObject*, std::string>, QString> AllTexts(QWidget& main) {
  std::map<std::pair<const QObject*, std::string>, QString> texts;
  QList<QObject*> objects = main.findChildren<QObject*>();
  objects.prepend(&main);
  for (QObject* o : objects) {
    if (auto* action = qobject_cast<QAction*>(o)) {
      texts[{o, "text"}] = action->text();
      texts[{o, "tip"}] = action->toolTip();
      texts[{o, "status"}] = action->statusTip();
      texts[{o, "button"}] = action->iconText();
    }
    auto* widget = qobject_cast<QWidget*>(o);
    if (!widget) continue;
    if (widget->isWindow()) texts[{o, "caption"}] = widget->windowTitle();
    texts[{o, "tip"}] = widget->toolTip();
    if (auto* button = qobject_cast<QAbstractButton*>(o)) texts[{o, "text"}] = button->text();
    if (auto* label = qobject_cast<QLabel*>(o)) texts[{o, "text"}] = label->text();
    if (auto* group = qobject_cast<QGroupBox*>(o)) texts[{o, "text"}] = group->title();
    if (auto* menu = qobject_cast<QMenu*>(o)) texts[{o, "text"}] = menu->title();
    if (auto* tabs = qobject_cast<QTabWidget*>(o)) {
      for (int i = 0; i < tabs->count(); ++i) {
        texts[{o, "tab" + std::to_string(i)}] = tabs->tabText(i);
        texts[{o, "tabtip" + std::to_string(i)}] = tabs->tabToolTip(i);
      }
    }
  }
  return texts;
}

TEST(LanguageFiles, RussianSetsEveryTextOfEveryWindowAndEnglishBringsEachBack) {
  ProgramFixture f;  // the program folder of the build, with both shipped files
  f.Show();
  MakeDialogsOfTheBook(f);
  const auto english = AllTexts(f.Window());

  Item<QRadioButton>(f.Window(), "RadioButton2")->click();
  const std::vector<ParsedSection> russian =
      Parse(ReadFile(std::string(VELLUMOR_BIN_DIR) + "/Vellumor_ru.lng"));
  for (const ParsedSection& section : russian) {
    QWidget* window = WindowOf(f, QString::fromStdString(section.Name));
    ASSERT_NE(window, nullptr) << section.Name;
    for (const auto& [key, value] : section.Entries) {
      SCOPED_TRACE(section.Name + " / " + key);
      if (key == section.Name) {
        EXPECT_EQ(window->windowTitle(), FromCodePage(value, 1251));
        continue;
      }
      QObject* item = app::ui::FindLanguageItem(*window, key);
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(app::ui::LanguageItemText(*item), FromCodePage(value, 1251));
    }
  }
  EXPECT_EQ(f.Session().Settings().InterfaceLanguage, app::InterfaceLanguage::Russian);

  Item<QRadioButton>(f.Window(), "RadioButton1")->click();
  const auto back = AllTexts(f.Window());
  EXPECT_EQ(back.size(), english.size());
  for (const auto& [where, text] : english) {
    const auto found = back.find(where);
    ASSERT_NE(found, back.end());
    EXPECT_EQ(found->second, text)
        << where.first->objectName().toStdString() << " " << where.second;
  }
}

}  // namespace
