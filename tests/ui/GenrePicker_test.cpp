// The genre picker driven through its real window: adding (button, double-click, Enter),
// deleting, clearing, the genre text it gives back, Cancel and Esc, the readable names beside
// the codes, and the program's picker reading the genre file and the schema once.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/DesktopProgram.h"
#include "app/ui/ModalDialogs.h"
#include "fb2meta/ui/GenrePicker.h"
#include "platform/CodePage.h"
#include "support/TempFolder.h"

namespace {

using fb2meta::ui::GenrePickerDialog;

const std::vector<std::string> kGenres = {"sf_history", "adventure", "prose_rus_classic",
                                          "detective", "poetry"};

// The picker's widgets by their names.
QTreeWidget& Available(QDialog& d) {
  return *d.findChild<QTreeWidget*>("AvailableList");
}
QTreeWidget& Chosen(QDialog& d) {
  return *d.findChild<QTreeWidget*>("ChosenList");
}
template <typename T = QToolButton>
T& Child(QDialog& d, const char* name) {
  T* child = d.findChild<T*>(name);
  if (child == nullptr) ADD_FAILURE() << "no " << name;
  return *child;
}

// What a list shows in `column`, row by row.
using Texts = std::vector<std::string>;
Texts Column(QTreeWidget& list, int column = 0) {
  Texts texts;
  for (int row = 0; row < list.topLevelItemCount(); ++row)
    texts.push_back(list.topLevelItem(row)->text(column).toStdString());
  return texts;
}

void SelectAvailable(QDialog& d, const QString& code) {
  QTreeWidget& list = Available(d);
  const QList<QTreeWidgetItem*> found = list.findItems(code, Qt::MatchExactly, 0);
  ASSERT_EQ(found.size(), 1) << code.toStdString();
  list.setCurrentItem(found.first());
}

void SelectChosen(QDialog& d, const QList<int>& rows) {
  QTreeWidget& list = Chosen(d);
  list.clearSelection();
  for (int row : rows) list.topLevelItem(row)->setSelected(true);
}

// "Add to doc" by the toolbar button, a double-click or Enter in the upper list.
enum class AddBy { Button, DoubleClick, Enter };

void AddSelected(QDialog& d, AddBy how) {
  QTreeWidget& list = Available(d);
  switch (how) {
    case AddBy::Button:
      QTest::mouseClick(&Child(d, "AddButton"), Qt::LeftButton);
      break;
    case AddBy::DoubleClick: {
      const QPoint at = list.visualItemRect(list.currentItem()).center();
      // A double-click arrives as a click and a double-click event.
      QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
      QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
      break;
    }
    case AddBy::Enter:
      QTest::keyClick(&list, Qt::Key_Return);
      break;
  }
}

void Add(QDialog& d, const QString& code, AddBy how = AddBy::Button) {
  SelectAvailable(d, code);
  AddSelected(d, how);
}

// Shows the picker for `genres` and plays `script` inside its modal loop; the script closes the
// picker (a guard closes it after five seconds so that a lost script cannot hang the run).
std::optional<std::string> PickWith(GenrePickerDialog& picker, std::string_view genres,
                                    const std::function<void(GenrePickerDialog&)>& script) {
  bool played = false;
  QTimer::singleShot(0, &picker, [&] {
    EXPECT_TRUE(picker.isVisible());
    EXPECT_TRUE(picker.isModal());
    // Laid out and active, as a window the user works in.
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&picker));
    QApplication::setActiveWindow(&picker);
    script(picker);
    played = true;
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &picker, [&picker] {
    ADD_FAILURE() << "the picker stayed open";
    picker.reject();
  });
  guard.start(5000);
  std::optional<std::string> result = picker.Pick(genres);
  EXPECT_TRUE(played);
  return result;
}

void PressOk(QDialog& d) {
  QTest::mouseClick(&Child<QPushButton>(d, "ButOk"), Qt::LeftButton);
}

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  return info.param.Name;
}

struct TextCase {
  const char* Name;
  std::string Given;
  std::function<void(GenrePickerDialog&)> Script;  // closes with "Ok"
  std::string Expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.Name;
}

class GenreTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(GenreTextTest, OkGivesTheChosenCodesJoinedBySemicolons) {
  GenrePickerDialog picker(kGenres, {}, 1251);
  EXPECT_EQ(PickWith(picker, GetParam().Given, GetParam().Script), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GenreTextTest,
    ::testing::Values(TextCase{"NoneChosenEmptiesTheText", "sf_history; adventure",
                               [](GenrePickerDialog& d) {
                                 QTest::mouseClick(&Child(d, "ClearButton"), Qt::LeftButton);
                                 PressOk(d);
                               },
                               ""},
                      TextCase{"OneGenre", "",
                               [](GenrePickerDialog& d) {
                                 Add(d, "prose_rus_classic");
                                 PressOk(d);
                               },
                               "prose_rus_classic"},
                      TextCase{"SeveralInTheOrderPicked", "",
                               [](GenrePickerDialog& d) {
                                 Add(d, "sf_history");
                                 Add(d, "adventure");
                                 Add(d, "poetry");
                                 PressOk(d);
                               },
                               "sf_history; adventure; poetry"},
                      TextCase{"AddedAfterTheGenresGiven", "detective",
                               [](GenrePickerDialog& d) {
                                 Add(d, "adventure");
                                 PressOk(d);
                               },
                               "detective; adventure"},
                      // Pieces are trimmed; an empty piece between two ";" stays an empty entry.
                      TextCase{
                          "GivenTextReloadedAsIs", "  sf_history ;; x_unknown ",
                          [](GenrePickerDialog& d) {
                            EXPECT_EQ(Column(Chosen(d)), (Texts{"sf_history", "", "x_unknown"}));
                            PressOk(d);
                          },
                          "sf_history; ; x_unknown"},
                      TextCase{"F3IsOk", "",
                               [](GenrePickerDialog& d) {
                                 Add(d, "poetry");
                                 QTest::keyClick(&Chosen(d), Qt::Key_F3);
                               },
                               "poetry"}),
    CaseName<TextCase>);

class AddToDocTest : public ::testing::TestWithParam<AddBy> {};

TEST_P(AddToDocTest, AddsTheSelectedEntryOnceAndASecondAddClosesAsOk) {
  GenrePickerDialog picker(kGenres, {}, 1251);
  Texts afterFirst;
  bool openAfterFirst = false;
  const auto result = PickWith(picker, "detective", [&](GenrePickerDialog& d) {
    Add(d, "sf_history", GetParam());
    afterFirst = Column(Chosen(d));
    openAfterFirst = d.isVisible();
    Add(d, "sf_history", GetParam());
  });
  EXPECT_EQ(afterFirst, (Texts{"detective", "sf_history"}));
  EXPECT_TRUE(openAfterFirst);
  EXPECT_EQ(result, "detective; sf_history");
}

std::string AddByName(const ::testing::TestParamInfo<AddBy>& info) {
  constexpr const char* kNames[] = {"Button", "DoubleClick", "Enter"};
  return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryWay, AddToDocTest,
                         ::testing::Values(AddBy::Button, AddBy::DoubleClick, AddBy::Enter),
                         AddByName);

TEST(GenrePickerTest, AGenreChosenInOtherLetterCaseCountsAsChosen) {
  GenrePickerDialog picker(kGenres, {}, 1251);
  EXPECT_EQ(PickWith(picker, "Detective", [](GenrePickerDialog& d) { Add(d, "detective"); }),
            "Detective");
}

TEST(GenrePickerTest, DeleteRemovesTheSelectedEntriesAndClearEmptiesTheList) {
  GenrePickerDialog picker(kGenres, {}, 1251);
  const auto result = PickWith(picker, "a; b; c; d; e", [](GenrePickerDialog& d) {
    SelectChosen(d, {1, 3});
    QTest::mouseClick(&Child(d, "DeleteButton"), Qt::LeftButton);
    EXPECT_EQ(Column(Chosen(d)), (Texts{"a", "c", "e"}));
    SelectChosen(d, {0});
    QTest::keyClick(&Chosen(d), Qt::Key_Delete);
    EXPECT_EQ(Column(Chosen(d)), (Texts{"c", "e"}));
    // Del in the upper list deletes nothing.
    QTest::keyClick(&Available(d), Qt::Key_Delete);
    EXPECT_EQ(Column(Chosen(d)), (Texts{"c", "e"}));
    PressOk(d);
  });
  EXPECT_EQ(result, "c; e");

  EXPECT_EQ(PickWith(picker, "a; b",
                     [](GenrePickerDialog& d) {
                       QTest::mouseClick(&Child(d, "ClearButton"), Qt::LeftButton);
                       EXPECT_EQ(Chosen(d).topLevelItemCount(), 0);
                       Add(d, "poetry");
                       PressOk(d);
                     }),
            "poetry");
}

struct CloseCase {
  const char* Name;
  std::function<void(GenrePickerDialog&)> Close;
};

class CancelTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CancelTest, LeavesTheGenreTextAsGiven) {
  GenrePickerDialog picker(kGenres, {}, 1251);
  const auto script = [](GenrePickerDialog& d) {
    Add(d, "poetry");
    SelectChosen(d, {0});
    QTest::keyClick(&Chosen(d), Qt::Key_Delete);
    GetParam().Close(d);
  };
  EXPECT_EQ(PickWith(picker, "sf_history; adventure", script), std::nullopt);

  // The program's picker gives the text back unchanged.
  QWidget parent;
  app::ui::QtModalDialogs dialogs(&parent);
  dialogs.Genres = [] { return app::ui::GenreSource{kGenres, {}}; };
  QTimer::singleShot(0, [script] {
    auto* shown = qobject_cast<GenrePickerDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(shown, nullptr);
    script(*shown);
  });
  EXPECT_EQ(dialogs.PickGenres("sf_history; adventure"), "sf_history; adventure");
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, CancelTest,
    ::testing::Values(CloseCase{"CancelButton",
                                [](GenrePickerDialog& d) {
                                  QTest::mouseClick(&Child<QPushButton>(d, "ButCancel"),
                                                    Qt::LeftButton);
                                }},
                      CloseCase{"Esc",
                                [](GenrePickerDialog& d) {
                                  QTest::keyClick(&Available(d), Qt::Key_Escape);
                                }},
                      CloseCase{"WindowClosed", [](GenrePickerDialog& d) { d.close(); }}),
    CaseName<CloseCase>);

TEST(GenrePickerTest, WithoutAGenreFileAddDoesNothingAndOkEmptiesTheGenres) {
  GenrePickerDialog picker({}, {}, 1251);
  EXPECT_EQ(PickWith(picker, "sf_history",
                     [](GenrePickerDialog& d) {
                       EXPECT_EQ(Available(d).topLevelItemCount(), 0);
                       AddSelected(d, AddBy::Button);
                       AddSelected(d, AddBy::Enter);
                       EXPECT_TRUE(d.isVisible());
                       EXPECT_EQ(Column(Chosen(d)), Texts{"sf_history"});
                       QTest::mouseClick(&Child(d, "ClearButton"), Qt::LeftButton);
                       PressOk(d);
                     }),
            "");
}

TEST(GenrePickerTest, ShowsReadableNamesBesideTheCodesAndGivesBackCodesOnly) {
  GenrePickerDialog picker(
      kGenres, {{"sf_history", "Alternative history"}, {"prose_rus_classic", "Russian classics"}},
      1251);
  const auto result = PickWith(picker, "", [](GenrePickerDialog& d) {
    EXPECT_FALSE(Available(d).isColumnHidden(1));
    EXPECT_EQ(Column(Available(d), 0),
              (Texts{"sf_history", "adventure", "prose_rus_classic", "detective", "poetry"}));
    EXPECT_EQ(Column(Available(d), 1),
              (Texts{"Alternative history", "", "Russian classics", "", ""}));
    Add(d, "prose_rus_classic");
    Add(d, "adventure");
    EXPECT_EQ(Column(Chosen(d), 1), (Texts{"Russian classics", ""}));
    PressOk(d);
  });
  EXPECT_EQ(result, "prose_rus_classic; adventure");

  // Without any name the name column is not shown.
  GenrePickerDialog plain(kGenres, {}, 1251);
  PickWith(plain, "", [](GenrePickerDialog& d) {
    EXPECT_TRUE(Available(d).isColumnHidden(1));
    EXPECT_TRUE(Chosen(d).isColumnHidden(1));
    PressOk(d);
  });
}

TEST(GenrePickerTest, EntriesAreCodePageTextShownDecodedAndGivenBackByteForByte) {
  const platform::CodePage cp1251(1251);
  const std::string cyrillic = *cp1251.FromUtf8("проза");
  GenrePickerDialog picker({cyrillic, "poetry"}, {}, 1251);
  const auto result = PickWith(picker, "", [](GenrePickerDialog& d) {
    Add(d, QString::fromUtf8("проза"));
    PressOk(d);
  });
  EXPECT_EQ(result, cyrillic);
}

// The widgets Tab visits, in order, from the focus the window starts with.
Texts TabOrder(QWidget& window) {
  Texts names;
  QWidget* first = window.focusWidget();
  if (first == nullptr) return names;
  names.push_back(first->objectName().toStdString());
  for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible() &&
        window.isAncestorOf(w))
      names.push_back(w->objectName().toStdString());
  }
  return names;
}

TEST(GenrePickerTest, StartsInTheUpperListAndTabReachesEveryControlInOrder) {
  GenrePickerDialog picker(kGenres, {}, 1251);
  PickWith(picker, "", [](GenrePickerDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Genre");
    EXPECT_EQ(d.focusWidget(), &Available(d));
    // A genre is selected from the start, so Enter adds at once.
    EXPECT_EQ(Available(d).selectedItems().size(), 1);
    EXPECT_EQ(TabOrder(d), (Texts{"AvailableList", "AddButton", "DeleteButton", "ClearButton",
                                  "ChosenList", "ButOk", "ButCancel"}));
    EXPECT_EQ(Child(d, "AddButton").text(), "Add to doc");
    EXPECT_EQ(Child(d, "DeleteButton").text(), "Delete");
    EXPECT_EQ(Child(d, "ClearButton").text(), "Clear");
    EXPECT_EQ(Child<QPushButton>(d, "ButOk").text(), "Ok (F3)");
    EXPECT_EQ(Child<QPushButton>(d, "ButCancel").text(), "Cancel");
    QTest::keyClick(&Available(d), Qt::Key_Escape);
  });
}

// --- Readable names from the schema

void WriteFile(const std::string& path, std::string_view text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(GenreNamesTest, TheDocumentationOfEachSchemaValueNamesItsCode) {
  testsupport::TempFolder folder;
  WriteFile(folder / "genres.xsd", R"(<?xml version="1.0" encoding="UTF-8"?>
<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
  <xs:simpleType name="genreType">
    <xs:restriction base="xs:token">
      <xs:enumeration value="sf_history">
        <xs:annotation><xs:documentation>Alternative
            history</xs:documentation><xs:documentation>second</xs:documentation></xs:annotation>
      </xs:enumeration>
      <xs:enumeration value="adventure"/>
      <xs:enumeration value="prose_rus_classic">
        <xs:annotation><xs:documentation xml:lang="ru">Русская классика</xs:documentation></xs:annotation>
      </xs:enumeration>
      <xs:enumeration value="poetry"><xs:annotation><xs:documentation/></xs:annotation></xs:enumeration>
    </xs:restriction>
  </xs:simpleType>
  <documentation>not the schema's</documentation>
</xs:schema>
)");
  const QHash<QString, QString> names =
      fb2meta::ui::ReadGenreNames(QString::fromStdString(folder / "genres.xsd"));
  EXPECT_EQ(names, (QHash<QString, QString>{{"sf_history", "Alternative history"},
                                            {"prose_rus_classic", "Русская классика"}}));
  EXPECT_TRUE(fb2meta::ui::ReadGenreNames(QString::fromStdString(folder / "none.xsd")).isEmpty());
}

// The program's picker: the genre file beside the program read once, the schema's names shown.
TEST(GenrePickerProgramTest, TheProgramOffersTheGenreFileWithTheSchemasNames) {
  testsupport::TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "fb2-schema");
  WriteFile(folder / "FictionBookGenres.txt", "sf_history\r\nadventure\r\n");
  WriteFile(folder / "fb2-schema/FictionBookGenres.xsd",
            R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema"><xs:enumeration
  value="adventure"><xs:annotation><xs:documentation>Adventure</xs:documentation></xs:annotation>
</xs:enumeration></xs:schema>)");
  app::ui::DesktopOptions options;
  options.ProgramFolder = folder.Path().string();
  options.SettingsPath = folder / "vellumor.ini";
  app::ui::DesktopProgram program(std::move(options));

  const auto pick = [&program](std::string_view genres,
                               const std::function<void(GenrePickerDialog&)>& script) {
    QTimer::singleShot(0, [&program, script] {
      auto* shown = qobject_cast<GenrePickerDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(shown, nullptr);
      EXPECT_EQ(shown->parentWidget(), &program.Window());
      script(*shown);
    });
    return program.Ui().PickGenres(genres);
  };
  EXPECT_EQ(pick("",
                 [](GenrePickerDialog& d) {
                   EXPECT_EQ(Column(Available(d), 0), (Texts{"sf_history", "adventure"}));
                   EXPECT_EQ(Column(Available(d), 1), (Texts{"", "Adventure"}));
                   Add(d, "adventure", AddBy::Enter);
                   PressOk(d);
                 }),
            "adventure");
  // Read once: a changed file shows from the next program run on.
  WriteFile(folder / "FictionBookGenres.txt", "poetry\r\n");
  EXPECT_EQ(pick("adventure",
                 [](GenrePickerDialog& d) {
                   EXPECT_EQ(Column(Available(d)), (Texts{"sf_history", "adventure"}));
                   Add(d, "sf_history");
                   PressOk(d);
                 }),
            "adventure; sf_history");
  EXPECT_EQ(program.Window().findChildren<GenrePickerDialog*>().size(), 1);
}

}  // namespace
