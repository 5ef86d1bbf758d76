// The book information dialog: a BookInfo in and out unchanged, the Enter-key navigation, the
// genre picker and cover dialog hooks, the date check, the file-name proposals, "Cancel" and
// "TabStop"; then through the main window with the real dialog: the dialog's settings keys and a
// whole conversion filled in the dialog.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/ui/DesktopProgram.h"
#include "app/ui/ModalDialogs.h"
#include "fb2meta/BookInfo.h"
#include "fb2meta/ui/BookInfoDialog.h"
#include "output/Validation.h"
#include "platform/CodePage.h"
#include "support/TempFolder.h"
#include "support/Xml.h"
#include "ui/support/ProgramFixture.h"

namespace {

using fb2meta::BookInfo;
using fb2meta::ui::BookInfoDialog;

const platform::CodePage kCp1251(1251);

// UTF-8 source text as windows-1251 bytes, the code page the tests run in.
std::string Cp(std::string_view utf8) {
  return kCp1251.FromUtf8(utf8).value();
}

// Every field of the record with its name, so that a difference names the field.
std::map<std::string, std::string> Fields(const BookInfo& info) {
  std::map<std::string, std::string> fields = {
      {"BookTitle", info.BookTitle},
      {"Genres", info.Genres},
      {"CoverImagePath", info.CoverImagePath},
      {"Language", info.Language},
      {"DocumentDate", info.DocumentDate},
      {"DocumentDateText", info.DocumentDateText},
      {"DocumentId", info.DocumentId},
      {"DocumentVersion", info.DocumentVersion},
      {"SourceUrls", info.SourceUrls},
      {"DocumentAuthor.FirstName", info.DocumentAuthor.FirstName},
      {"DocumentAuthor.MiddleName", info.DocumentAuthor.MiddleName},
      {"DocumentAuthor.LastName", info.DocumentAuthor.LastName},
      {"DocumentAuthor.NickName", info.DocumentAuthor.NickName},
      {"DocumentAuthor.HomePages", info.DocumentAuthor.HomePages},
      {"DocumentAuthor.EMails", info.DocumentAuthor.EMails},
      {"FileNameProposals[0]", info.FileNameProposals[0]},
      {"FileNameProposals[1]", info.FileNameProposals[1]},
      {"UtfOutput", info.UtfOutput ? "1" : "0"},
      {"FileNameVariant", std::to_string(info.FileNameVariant)},
      {"PackToZip", info.PackToZip ? "1" : "0"},
      {"EncodingCaption", info.EncodingCaption},
      {"DocumentAuthorTabStops", info.DocumentAuthorTabStops ? "1" : "0"},
  };
  for (size_t row = 0; row < info.Authors.size(); ++row) {
    const std::string prefix = "Authors[" + std::to_string(row) + "].";
    fields[prefix + "FirstName"] = info.Authors[row].FirstName;
    fields[prefix + "MiddleName"] = info.Authors[row].MiddleName;
    fields[prefix + "LastName"] = info.Authors[row].LastName;
  }
  return fields;
}

}  // namespace

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

std::string FocusName() {
  QWidget* focus = QApplication::focusWidget();
  return focus ? focus->objectName().toStdString() : "(nothing)";
}
// Keys as the user presses them: to the control that has the focus.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}
// Typing into a control; QTest types ASCII only, other characters come as the text of a key.
void TypeInto(QWidget* control, const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClick(control, c.toLatin1());
      continue;
    }
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, QString(c));
      QApplication::sendEvent(control, &key);
    }
  }
}
void Type(const QString& text) {
  TypeInto(QApplication::focusWidget(), text);
}

// A dialog shown without its own loop, with hooks that record what they were asked.
class BookDialog : public ::testing::Test {
 protected:
  struct CoverQuestion {
    QString Title;
    QStringList Filters;
    QString InitialPath;
  };

  BookDialog() : dialog(Hooks(), 1251) {}

  fb2meta::ui::BookInfoDialogHooks Hooks() {
    fb2meta::ui::BookInfoDialogHooks hooks;
    hooks.PickGenres = [this](std::string_view genres) {
      genresAsked.emplace_back(genres);
      return genreAnswer;
    };
    hooks.PickCoverFile = [this](const QString& title, const QStringList& filters,
                                 const QString& initialPath) {
      coversAsked.push_back({title, filters, initialPath});
      return coverAnswer;
    };
    hooks.ShowMessage = [this](const QString& text) { messages << text; };
    return hooks;
  }

  void Open(const BookInfo& info) {
    dialog.Load(info);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }

  template <class T = QLineEdit>
  T* Child(const char* name) {
    T* child = dialog.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QString Text(const char* box) { return Child(box)->text(); }

  // Gives the focus to a control, on whichever tab it is.
  void FocusOn(const char* name) {
    QWidget* control = Child<QWidget>(name);
    auto* tabs = Child<QTabWidget>("PageControl1");
    for (int page = 0; page < tabs->count(); ++page)
      if (tabs->widget(page)->isAncestorOf(control)) tabs->setCurrentIndex(page);
    control->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(FocusName(), name);
  }

  BookInfo Stored() {
    BookInfo info;
    info.EncodingCaption = "untouched";
    dialog.Store(info);
    return info;
  }

  std::vector<std::string> genresAsked;
  std::string genreAnswer;
  std::vector<CoverQuestion> coversAsked;
  QString coverAnswer;
  QStringList messages;
  BookInfoDialog dialog;
};

// --- value in, value out --------------------------------------------------------------------

// Every text field of a record gets `value` with its field number, so that fields cannot trade
// places unnoticed.
BookInfo Filled(const std::string& value) {
  int n = 0;
  auto next = [&] { return value + std::to_string(n++) + value; };
  BookInfo info;
  info.BookTitle = next();
  for (fb2meta::PersonName& author : info.Authors) {
    author.LastName = next();
    author.FirstName = next();
    author.MiddleName = next();
  }
  info.Genres = next();
  info.Language = next();
  info.DocumentDateText = next();
  info.DocumentId = next();
  info.SourceUrls = next();
  info.DocumentAuthor = {next(), next(), next(), next(), next(), next()};
  info.FileNameProposals = {next() + ".fb2", next() + ".fb2"};
  return info;
}

struct RoundTripCase {
  const char* Name;
  BookInfo Info;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << c.Name;
}

class BookRoundTrip : public BookDialog, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(BookRoundTrip, GivesBackExactlyWhatItWasGiven) {
  BookInfo given = GetParam().Info;
  given.EncodingCaption = "untouched";
  Open(given);
  EXPECT_EQ(Fields(Stored()), Fields(given));

  // Shown and taken back through a modal run closed with "Ok".
  BookInfo edited = given;
  QTimer::singleShot(0, &dialog, [this] { Child<QPushButton>("ButOk")->click(); });
  EXPECT_TRUE(dialog.Edit(edited));
  EXPECT_EQ(Fields(edited), Fields(given));
}

BookInfo WithChoices(BookInfo info, bool utf, int variant, bool zip, bool tabStops) {
  info.UtfOutput = utf;
  info.FileNameVariant = variant;
  info.PackToZip = zip;
  info.DocumentAuthorTabStops = tabStops;
  return info;
}

BookInfo WithDate(BookInfo info, std::string date, std::string version, std::string cover) {
  info.DocumentDate = std::move(date);
  info.DocumentVersion = std::move(version);
  info.CoverImagePath = std::move(cover);
  return info;
}

INSTANTIATE_TEST_SUITE_P(
    Values, BookRoundTrip,
    ::testing::Values(
        RoundTripCase{"Latin", WithDate(Filled("Quiet Harbour"), "08.12.2026", "1",
                                        "/books/covers/harbour.png")},
        RoundTripCase{"CyrillicCodePageText",
                      WithChoices(WithDate(Filled(Cp("Война и мир «ёлка» — №")), "31.02.2026",
                                           "1.256", "/книги/обложка.jpg"),
                                  true, 2, true, true)},
        RoundTripCase{"XmlSpecialCharacters", WithDate(Filled("Tom & Jerry <\"q\"> 'a'"),
                                                       " 8.12.2026", "2,5", "/a&b/c d.png")},
        RoundTripCase{"BlanksAroundKept",
                      WithDate(Filled("  padded\t "), "8.1.2026", " 1.5 ", " /spaced.png ")},
        // 0x98 means nothing in windows-1251 and 0xFF is a letter: bytes are never rewritten.
        RoundTripCase{"BytesWithoutCharacter",
                      WithDate(Filled("a\x98z\xff"), "", "not a number", "")},
        RoundTripCase{"Empty", WithDate(BookInfo{}, "", "", "")}),
    [](const ::testing::TestParamInfo<RoundTripCase>& c) { return c.param.Name; });

TEST_F(BookDialog, ShowsAndTakesTextInTheCodePageOfTheCharacterSet) {
  BookInfo info;
  info.BookTitle = Cp("Война");
  Open(info);
  EXPECT_EQ(Text("E_TI_BookTitle"), QString::fromUtf8("Война"));

  // Typed text comes back as bytes of the code page; a character it lacks shows and goes as "?".
  FocusOn("E_TI_ALName");
  Type(QString::fromUtf8("Толстой"));
  FocusOn("E_TI_AFName");
  Type(QString::fromUtf8("Lév"));
  EXPECT_EQ(Text("E_TI_AFName"), "L?v");
  EXPECT_EQ(Stored().Authors[0].LastName, Cp("Толстой"));
  EXPECT_EQ(Stored().Authors[0].FirstName, "L?v");

  // Another character set: the same bytes read as Greek.
  dialog.SetTextCodePage(1253);
  info.BookTitle = "\xc1\xe8\xe7\xed\xe1";
  Open(info);
  EXPECT_EQ(Text("E_TI_BookTitle"), QString::fromUtf8("Αθηνα"));
  FocusOn("E_TI_BookTitle");
  Press(Qt::Key_End);
  Type(QString::fromUtf8("ς"));
  EXPECT_EQ(Stored().BookTitle, "\xc1\xe8\xe7\xed\xe1\xf2");
}

TEST_F(BookDialog, ShowsTheOutputChoicesAndTheVersionWithTwoDecimals) {
  BookInfo info;
  info.EncodingCaption = "windows-1253";
  info.UtfOutput = true;
  info.FileNameVariant = 2;
  info.PackToZip = true;
  info.DocumentVersion = "1";
  info.FileNameProposals = {"Petrova A.I. Quiet Harbour.fb2", "Petrova_A._Quiet_Harbour.fb2"};
  Open(info);
  EXPECT_EQ(Child<QRadioButton>("RadioButton3")->text(), "windows-1253");
  EXPECT_TRUE(Child<QRadioButton>("RadioButton4")->isChecked());
  EXPECT_TRUE(Child<QRadioButton>("RadioButton2")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>("ChBZIp")->isChecked());
  EXPECT_EQ(Child<QRadioButton>("RadioButton1")->toolTip(), "Petrova A.I. Quiet Harbour.fb2");
  EXPECT_EQ(Text("E_DI_Version"), "1.00");
  EXPECT_EQ(Child<QTabWidget>("PageControl1")->currentWidget()->objectName(), "TabSheet1");
  EXPECT_EQ(FocusName(), "E_TI_BookTitle");

  // Choices made in the dialog go back; a changed version goes as typed.
  Child<QRadioButton>("RadioButton3")->click();
  Child<QRadioButton>("RadioButton1")->click();
  Child<QCheckBox>("ChBZIp")->click();
  Child("E_DI_Version")->setText("2.5");
  const BookInfo stored = Stored();
  EXPECT_FALSE(stored.UtfOutput);
  EXPECT_EQ(stored.FileNameVariant, 1);
  EXPECT_FALSE(stored.PackToZip);
  EXPECT_EQ(stored.DocumentVersion, "2.5");
}

// --- Enter -------------------------------------------------------------------------------------

struct EnterCase {
  const char* Name;
  std::map<std::string, std::string> Boxes;  // texts put in before
  const char* From;
  const char* To;
};

void PrintTo(const EnterCase& c, std::ostream* os) {
  *os << c.Name;
}

class EnterKey : public BookDialog, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(EnterKey, MovesTheFocusAsTheRowsSay) {
  BookInfo info;
  info.DocumentDate = "08.12.2026";
  Open(info);
  for (const auto& [box, text] : GetParam().Boxes) Child(box.c_str())->setText(text.c_str());
  FocusOn(GetParam().From);
  const QString before = Text("E_TI_BookTitle");

  Press(Qt::Key_Return);
  EXPECT_EQ(FocusName(), GetParam().To);
  // The key is used up: nothing typed, the dialog still open, no message, no picker.
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Text("E_TI_BookTitle"), before);
  EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
  EXPECT_TRUE(genresAsked.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EnterKey,
    ::testing::Values(
        EnterCase{"Title", {}, "E_TI_BookTitle", "E_TI_ALName"},
        EnterCase{"LastNameFilled", {{"E_TI_ALName2", "Ivanov"}}, "E_TI_ALName2", "E_TI_AFName2"},
        EnterCase{"LastNameEmpty", {}, "E_TI_ALName2", "E_TI_Genre"},
        EnterCase{"FourthLastNameEmpty", {}, "E_TI_ALName4", "E_TI_Genre"},
        EnterCase{"FirstNameFilled", {{"E_TI_AFName", "Anna"}}, "E_TI_AFName", "E_TI_AMName"},
        EnterCase{"FirstNameEmptyLastNameFilled",
                  {{"E_TI_ALName", "Petrova"}},
                  "E_TI_AFName",
                  "E_TI_ALName2"},
        EnterCase{"FirstAndLastNameEmpty", {}, "E_TI_AFName", "E_TI_Genre"},
        EnterCase{"MiddleNameWithFirstName",
                  {{"E_TI_AFName", "Anna"}, {"E_TI_AMName", "I"}},
                  "E_TI_AMName",
                  "E_TI_ALName2"},
        EnterCase{"MiddleNameWithLastNameOnly",
                  {{"E_TI_ALName2", "Petrov"}, {"E_TI_AMName2", "I"}},
                  "E_TI_AMName2",
                  "E_TI_ALName3"},
        EnterCase{"MiddleNameAlone", {{"E_TI_AMName", "Ivanovna"}}, "E_TI_AMName", "E_TI_Genre"},
        EnterCase{"ThirdRowFirstNameEmptyLastNameFilled",
                  {{"E_TI_ALName3", "Sidorov"}},
                  "E_TI_AFName3",
                  "E_TI_ALName4"},
        EnterCase{"FourthRowFirstNameEmptyLastNameFilled",
                  {{"E_TI_ALName4", "Orlov"}},
                  "E_TI_AFName4",
                  "E_TI_Genre"},
        EnterCase{
            "FourthRowFirstNameFilled", {{"E_TI_AFName4", "Olga"}}, "E_TI_AFName4", "E_TI_AMName4"},
        EnterCase{"FourthRowMiddleNameAlwaysNext", {}, "E_TI_AMName4", "E_TI_Genre"},
        EnterCase{"GenreFilled", {{"E_TI_Genre", "sf"}}, "E_TI_Genre", "E_CoverPage"},
        EnterCase{"Cover", {}, "E_CoverPage", "E_TI_Language"},
        EnterCase{"Language", {}, "E_TI_Language", "ButNext"},
        EnterCase{"NextButton", {}, "ButNext", "ME_Date"},
        EnterCase{"Date", {}, "ME_Date", "E_DI_Date"},
        EnterCase{"DateText", {}, "E_DI_Date", "E_DI_ID"},
        EnterCase{"Id", {}, "E_DI_ID", "E_DI_Version"},
        EnterCase{"Version", {}, "E_DI_Version", "E_DI_Src_Url"},
        EnterCase{"SourceUrlSkipsTheAuthorBoxes", {}, "E_DI_Src_Url", "ChBTabStop"},
        EnterCase{"ClickedAuthorBox", {}, "E_DI_EMail", "ChBTabStop"},
        EnterCase{"TabStop", {}, "ChBTabStop", "RadioButton3"},
        EnterCase{"Encoding", {}, "RadioButton3", "RadioButton1"},
        EnterCase{"FileNameVariant", {}, "RadioButton1", "ChBZIp"},
        EnterCase{"PackToZip", {}, "ChBZIp", "ButOk"}),
    [](const ::testing::TestParamInfo<EnterCase>& c) { return c.param.Name; });

TEST_F(BookDialog, EnterOnOkClosesWithOkAndOnCancelWithout) {
  Open({});
  FocusOn("ButOk");
  Press(Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);

  Open({});
  FocusOn("ButCancel");
  Press(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(BookDialog, TabVisitsTheTitleInfoBoxesInTheirOrder) {
  Open({});
  std::vector<std::string> visited = {FocusName()};
  for (int i = 0; i < 17; ++i) {
    Press(Qt::Key_Tab);
    visited.push_back(FocusName());
  }
  EXPECT_EQ(visited,
            (std::vector<std::string>{"E_TI_BookTitle", "E_TI_ALName", "E_TI_AFName", "E_TI_AMName",
                                      "E_TI_ALName2", "E_TI_AFName2", "E_TI_AMName2",
                                      "E_TI_ALName3", "E_TI_AFName3", "E_TI_AMName3",
                                      "E_TI_ALName4", "E_TI_AFName4", "E_TI_AMName4", "E_TI_Genre",
                                      "E_CoverPage", "E_TI_Language", "ButNext", "RadioButton3"}));
}

// --- genre picker and cover dialog -----------------------------------------------------------

struct GenreKeyCase {
  const char* Name;
  const char* Genres;  // the box before
  std::function<void()> Act;
  bool PickerOpens;
};

void PrintTo(const GenreKeyCase& c, std::ostream* os) {
  *os << c.Name;
}

class GenreBox : public BookDialog, public ::testing::WithParamInterface<GenreKeyCase> {};

TEST_P(GenreBox, OpensThePickerOnItsKeys) {
  BookInfo info;
  info.Genres = GetParam().Genres;
  Open(info);
  FocusOn("E_TI_Genre");
  genreAnswer = "sf_history; adventure";

  GetParam().Act();
  if (GetParam().PickerOpens) {
    EXPECT_EQ(genresAsked, std::vector<std::string>{GetParam().Genres});
    EXPECT_EQ(Text("E_TI_Genre"), "sf_history; adventure");
    EXPECT_EQ(Stored().Genres, "sf_history; adventure");
  } else {
    EXPECT_TRUE(genresAsked.empty());
    EXPECT_EQ(Stored().Genres, GetParam().Genres);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GenreBox,
    ::testing::Values(
        GenreKeyCase{"F3", "prose_classic", [] { Press(Qt::Key_F3); }, true},
        GenreKeyCase{"F3WhenEmpty", "", [] { Press(Qt::Key_F3); }, true},
        GenreKeyCase{"LetterWhenEmpty", "", [] { Type("a"); }, true},
        GenreKeyCase{"SpaceWhenEmpty", "", [] { Press(Qt::Key_Space); }, true},
        GenreKeyCase{"EnterWhenEmpty", "", [] { Press(Qt::Key_Return); }, true},
        GenreKeyCase{"LetterWhenFilled", "sf", [] { Type("a"); }, false},
        GenreKeyCase{"TabWhenEmpty", "", [] { Press(Qt::Key_Tab); }, false},
        GenreKeyCase{"CtrlCWhenEmpty", "", [] { Press(Qt::Key_C, Qt::ControlModifier); }, false},
        GenreKeyCase{
            "SelectButton", "sf",
            [] { QApplication::activeWindow()->findChild<QToolButton*>("SBSelect")->click(); },
            true}),
    [](const ::testing::TestParamInfo<GenreKeyCase>& c) { return c.param.Name; });

TEST_F(BookDialog, CoverBoxAsksForAPictureWithF3OrItsButton) {
  BookInfo info;
  info.CoverImagePath = "/pictures/old.png";
  Open(info);
  FocusOn("E_CoverPage");
  coverAnswer = QString::fromUtf8("/картинки/обложка & co.png");
  Press(Qt::Key_F3);
  ASSERT_EQ(coversAsked.size(), 1u);
  EXPECT_EQ(coversAsked[0].Title, "Cover image");
  EXPECT_EQ(coversAsked[0].Filters, (QStringList{"All (*.gif *.jpg *png)", "GIF Image (*.gif)",
                                                 "JPEG Image File (*.jpg)", "PNG Image (*.png)"}));
  EXPECT_EQ(coversAsked[0].InitialPath, "/pictures/old.png");
  // A path is the file system's bytes, whatever the code page.
  EXPECT_EQ(Stored().CoverImagePath, "/картинки/обложка & co.png");

  // Cancelled: the box keeps its path.
  coverAnswer.clear();
  Child<QToolButton>("SBCover")->click();
  EXPECT_EQ(coversAsked.size(), 2u);
  EXPECT_EQ(Stored().CoverImagePath, "/картинки/обложка & co.png");
  EXPECT_EQ(FocusName(), "E_CoverPage");
}

// --- date check ----------------------------------------------------------------------------------

struct DateCase {
  const char* Name;
  const char* Typed;     // into the emptied date box
  const char* DateText;  // the date-text box before
  bool Wrong;
  const char* DateTextAfter;
};

void PrintTo(const DateCase& c, std::ostream* os) {
  *os << c.Name;
}

class DateCheck : public BookDialog, public ::testing::WithParamInterface<DateCase> {};

TEST_P(DateCheck, IsMadeWhenTheFocusLeavesTheDateBox) {
  BookInfo info;
  info.DocumentDateText = GetParam().DateText;
  Open(info);
  FocusOn("ME_Date");
  Child("ME_Date")->clear();
  Child("ME_Date")->setCursorPosition(0);
  Type(GetParam().Typed);

  Press(Qt::Key_Tab);
  testsupport::ProcessEvents();
  EXPECT_EQ(messages, GetParam().Wrong ? QStringList{"date is wrong"} : QStringList{});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(FocusName(), "E_DI_Date");
  EXPECT_EQ(Text("E_DI_Date").toStdString(), GetParam().DateTextAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DateCheck,
    ::testing::Values(DateCase{"Valid", "08122026", "", false, "08.12.2026"},
                      DateCase{"ValidKeepsTheDateText", "08122026", "winter", false, "winter"},
                      DateCase{"YearNotChecked", "3102", "", false, "31.02.    "},
                      DateCase{"OneDigitDayAndMonth", "8.5.2026", "", false, "08.05.2026"},
                      DateCase{"ThirteenthMonth", "31132026", "", true, ""},
                      DateCase{"DayZero", "00052026", "", true, ""},
                      DateCase{"Empty", "", "", true, ""},
                      DateCase{"MonthMissing", "12", "", true, ""}),
    [](const ::testing::TestParamInfo<DateCase>& c) { return c.param.Name; });

TEST_F(BookDialog, OkFromAWrongDateWarnsOnceAndStaysOpen) {
  BookInfo info;
  info.DocumentDate = "31.13.2026";
  Open(info);
  FocusOn("ME_Date");

  QTest::mouseClick(Child<QPushButton>("ButOk"), Qt::LeftButton);
  testsupport::ProcessEvents();
  EXPECT_EQ(messages, QStringList{"date is wrong"});
  EXPECT_TRUE(dialog.isVisible());

  // Warned once, as leaving the box warns once: "Ok" now closes, and the date goes as it stands.
  QTest::mouseClick(Child<QPushButton>("ButOk"), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(messages.size(), 1);
  EXPECT_EQ(Stored().DocumentDate, "31.13.2026");
}

TEST_F(BookDialog, OkShortcutFromTheDateBoxChecksTheDateToo) {
  BookInfo info;
  info.DocumentDate = "31.12.2026";
  Open(info);
  FocusOn("ME_Date");
  Child("ME_Date")->clear();
  // The mnemonic moves the focus to "Ok" and clicks it a moment later.
  Press(Qt::Key_O, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, 2000));
  EXPECT_EQ(messages, QStringList{"date is wrong"});
  EXPECT_TRUE(dialog.isVisible());

  // A good date closes without a word.
  messages.clear();
  FocusOn("ME_Date");
  Type("01012027");
  Press(Qt::Key_O, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 2000));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(Stored().DocumentDate, "01.01.2027");
}

// --- file-name proposals ---------------------------------------------------------------------

struct ProposalCase {
  const char* Name;
  std::vector<std::pair<const char*, std::string>> Typed;  // box, then UTF-8 text
  std::string Variant1;
  std::string Variant2;
};

void PrintTo(const ProposalCase& c, std::ostream* os) {
  *os << c.Name;
}

class Proposals : public BookDialog, public ::testing::WithParamInterface<ProposalCase> {};

TEST_P(Proposals, AreRefreshedWhenTheFocusLeavesTheTitleOrAnAuthorBox) {
  Open({});
  auto* first = Child<QRadioButton>("RadioButton1");
  auto* second = Child<QRadioButton>("RadioButton2");
  for (const auto& [box, text] : GetParam().Typed) {
    FocusOn(box);
    const QStringList before = {first->toolTip(), second->toolTip()};
    Type(QString::fromStdString(text));
    // Not while typing ...
    EXPECT_EQ(QStringList({first->toolTip(), second->toolTip()}), before);
  }
  // ... but when the box is left, whichever way.
  Child<QRadioButton>("RadioButton3")->setFocus(Qt::MouseFocusReason);

  EXPECT_EQ(first->toolTip().toStdString(), GetParam().Variant1);
  EXPECT_EQ(second->toolTip().toStdString(), GetParam().Variant2);
  // The captions show the names literally (an "&" is no mnemonic there).
  EXPECT_TRUE(first->text().replace("&&", "&") == first->toolTip() ||
              first->text().contains(QChar(0x2026)))
      << first->text().toStdString();
  const BookInfo stored = Stored();
  EXPECT_EQ(kCp1251.ToUtf8(stored.FileNameProposals[0]), GetParam().Variant1);
  EXPECT_EQ(kCp1251.ToUtf8(stored.FileNameProposals[1]), GetParam().Variant2);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Proposals,
    ::testing::Values(
        ProposalCase{"TitleAndFirstAuthor",
                     {{"E_TI_BookTitle", "Quiet Harbour"},
                      {"E_TI_ALName", "Petrova"},
                      {"E_TI_AFName", "Anna"},
                      {"E_TI_AMName", "Ivanovna"}},
                     "Petrova A.I. Quiet Harbour.fb2",
                     "Petrova_A._Quiet_Harbour.fb2"},
        ProposalCase{"CyrillicTitle",
                     {{"E_TI_BookTitle", "Война и мир"}},
                     "Война и мир.fb2",
                     "Voyna_I_Mir.fb2"},
        ProposalCase{"CyrillicFirstNameInitial",
                     {{"E_TI_ALName", "Иванов"}, {"E_TI_AFName", "Жанна"}},
                     "Иванов Ж..fb2",
                     "Ivanov_Zh..fb2"},
        ProposalCase{"AmpersandAndForbiddenCharacters",
                     {{"E_TI_BookTitle", "Tom & Jerry: why?"}, {"E_TI_ALName2", "Not/used"}},
                     "Tom & Jerry why.fb2",
                     "Tom_&_Jerry_Why.fb2"},
        ProposalCase{"OtherAuthorRowsAndNothingElse", {{"E_TI_ALName3", "Orlov"}}, "1", "2"}),
    [](const ::testing::TestParamInfo<ProposalCase>& c) { return c.param.Name; });

// --- closing -----------------------------------------------------------------------------------

struct CloseCase {
  const char* Name;
  std::function<void(BookInfoDialog&)> Close;
  bool Ok;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
  *os << c.Name;
}

class Closing : public BookDialog, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Closing, HandsBackEverythingTypedAndChosenWhicheverWay) {
  BookInfo info;
  info.BookTitle = "Tale";
  info.DocumentDate = "08.12.2026";
  info.FileNameProposals = {"Tale.fb2", "Tale.fb2"};
  bool stillOpen = false;
  QTimer::singleShot(0, &dialog, [&] {
    stillOpen = dialog.isVisible();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    FocusOn("E_TI_BookTitle");
    Press(Qt::Key_End);
    Type("  of Two ");
    Press(Qt::Key_Tab);
    Type("Petrova");
    Child<QRadioButton>("RadioButton4")->click();
    Child<QRadioButton>("RadioButton2")->click();
    Child<QCheckBox>("ChBZIp")->click();
    FocusOn("E_DI_NickName");
    Type("scribe");
    GetParam().Close(dialog);
  });
  EXPECT_EQ(dialog.Edit(info), GetParam().Ok);
  EXPECT_TRUE(stillOpen);
  // The fields as they stand, untrimmed: the description writer uses them either way.
  EXPECT_EQ(info.BookTitle, "Tale  of Two ");
  EXPECT_EQ(info.Authors[0].LastName, "Petrova");
  EXPECT_EQ(info.DocumentAuthor.NickName, "scribe");
  EXPECT_EQ(info.FileNameProposals[0], "Petrova. Tale  of Two .fb2");
  EXPECT_TRUE(info.UtfOutput);
  EXPECT_EQ(info.FileNameVariant, 2);
  EXPECT_TRUE(info.PackToZip);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, Closing,
    ::testing::Values(
        CloseCase{"Ok", [](BookInfoDialog& d) { d.findChild<QPushButton*>("ButOk")->click(); },
                  true},
        CloseCase{"Cancel",
                  [](BookInfoDialog& d) { d.findChild<QPushButton*>("ButCancel")->click(); },
                  false},
        CloseCase{"Escape", [](BookInfoDialog&) { Press(Qt::Key_Escape); }, false},
        CloseCase{"CloseBox", [](BookInfoDialog& d) { d.close(); }, false}),
    [](const ::testing::TestParamInfo<CloseCase>& c) { return c.param.Name; });

// --- TabStop -------------------------------------------------------------------------------------

TEST_F(BookDialog, TabStopMakesTheDocumentAuthorBoxesTabStops) {
  const std::vector<std::string> withStops = {"E_DI_LName",    "E_DI_FName",    "E_DI_MName",
                                              "E_DI_NickName", "E_DI_HomePage", "E_DI_EMail",
                                              "ChBTabStop"};
  auto tabFromSourceUrl = [&](size_t count) {
    FocusOn("E_DI_Src_Url");
    std::vector<std::string> visited;
    for (size_t i = 0; i < count; ++i) {
      Press(Qt::Key_Tab);
      visited.push_back(FocusName());
    }
    return visited;
  };

  Open({});
  EXPECT_FALSE(Child<QCheckBox>("ChBTabStop")->isChecked());
  EXPECT_EQ(tabFromSourceUrl(1), std::vector<std::string>{"ChBTabStop"});
  // Skipped by Tab, still reached with the mouse.
  QTest::mouseClick(Child("E_DI_NickName"), Qt::LeftButton);
  EXPECT_EQ(FocusName(), "E_DI_NickName");

  FocusOn("ChBTabStop");
  Press(Qt::Key_Space);
  EXPECT_EQ(tabFromSourceUrl(7), withStops);
  EXPECT_TRUE(Stored().DocumentAuthorTabStops);

  // The choice comes in with the record.
  BookInfo info;
  info.DocumentAuthorTabStops = true;
  Open(info);
  EXPECT_TRUE(Child<QCheckBox>("ChBTabStop")->isChecked());
  EXPECT_EQ(tabFromSourceUrl(7), withStops);
  info.DocumentAuthorTabStops = false;
  Open(info);
  EXPECT_EQ(tabFromSourceUrl(1), std::vector<std::string>{"ChBTabStop"});
}

// --- through the main window, with the real dialog ------------------------------------------

// The real dialogs of the program, except the questions a test cannot answer by keyboard in
// another window: file dialogs, messages and the genre picker answer from queues.
class RealBookDialog : public app::ui::QtModalDialogs {
 public:
  using QtModalDialogs::QtModalDialogs;

  std::deque<QString> OpenAnswers;
  std::deque<QString> SaveAnswers;
  std::string GenreAnswer;
  QStringList OpenTitles;
  QStringList SaveProposals;
  QStringList Messages;
  std::vector<std::string> GenresAsked;
  // Acts in the book information dialog while it is shown.
  std::function<void(BookInfoDialog&)> InDialog;
  int BookDialogs = 0;

  void Message(const QString&, const QString& text) override { Messages << text; }
  QString OpenFile(const QString& title, const QStringList&, const QString&) override {
    OpenTitles << title;
    return Next(OpenAnswers);
  }
  QString SaveFile(const QString&, const QStringList&, const QString& proposedPath,
                   const QString&) override {
    SaveProposals << proposedPath;
    return Next(SaveAnswers);
  }
  std::string PickGenres(std::string_view genres) override {
    GenresAsked.emplace_back(genres);
    return GenreAnswer;
  }
  bool EditBookInfo(BookInfo& info) override {
    ++BookDialogs;
    QTimer::singleShot(0, [this] {
      auto* dialog = qobject_cast<BookInfoDialog*>(QApplication::activeModalWidget());
      if (!dialog || !QTest::qWaitForWindowActive(dialog)) {
        ADD_FAILURE() << "the book information dialog is not shown";
        if (dialog) dialog->reject();
        return;
      }
      if (InDialog) InDialog(*dialog);
      // A dialog the script left open is closed, so that a failing test does not hang.
      if (dialog->isVisible()) dialog->reject();
    });
    return QtModalDialogs::EditBookInfo(info);
  }

 private:
  static QString Next(std::deque<QString>& answers) {
    if (answers.empty()) return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// A desktop program with the real book information dialog, its settings in `settingsPath`.
struct RealProgram {
  explicit RealProgram(const std::string& settingsPath) {
    auto owned = std::make_unique<RealBookDialog>(&owner);
    dialogs = owned.get();
    app::ui::DesktopOptions options;
    options.ProgramFolder = VELLUMOR_BIN_DIR;
    options.SettingsPath = settingsPath;
    options.Dialogs = std::move(owned);
    program = std::make_unique<app::ui::DesktopProgram>(std::move(options));
    program->Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program->Window()));
    testsupport::ProcessEvents();
  }
  void Trigger(const char* name) {
    program->Window().Command(name)->trigger();
    testsupport::ProcessEvents();
  }

  QWidget owner;  // parent of the dialogs; outlives the program
  RealBookDialog* dialogs = nullptr;
  std::unique_ptr<app::ui::DesktopProgram> program;
};

template <class T = QLineEdit>
T* In(QWidget& dialog, const char* name) {
  T* child = dialog.findChild<T*>(name);
  if (!child) ADD_FAILURE() << name;
  return child;
}

void Fill(QWidget& dialog, const char* box, const char* utf8) {
  QLineEdit* edit = In(dialog, box);
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
  TypeInto(edit, QString::fromUtf8(utf8));
}

const std::string kSample = std::string(VELLUMOR_SOURCE_DIR) + "/examples/sample.html";
const std::string kOrnament =
    std::string(VELLUMOR_SOURCE_DIR) + "/examples/sample_files/ornament.png";

TEST(BookDialogInProgram, ItsKeysAreStoredOnEveryCloseAndComeBackInTheNextProgram) {
  testsupport::TempFolder folder;
  const std::string settings = folder / "vellumor.ini";
  // A source named in Cyrillic: the title box shows its name as the file system spells it.
  const std::string tale = folder / "Сказка.html";
  std::filesystem::copy_file(kSample, tale);
  QString title;
  {
    RealProgram first(settings);
    first.dialogs->OpenAnswers = {QString::fromStdString(tale)};
    first.dialogs->InDialog = [&title](BookInfoDialog& dialog) {
      title = In(dialog, "E_TI_BookTitle")->text();
      In<QTabWidget>(dialog, "PageControl1")->setCurrentIndex(1);
      Fill(dialog, "E_DI_LName", "Сидорова");
      Fill(dialog, "E_DI_EMail", "editor@example.org");
      Fill(dialog, "E_DI_Src_Url", "http://example.org/tale");
      In<QCheckBox>(dialog, "ChBTabStop")->click();
      In<QRadioButton>(dialog, "RadioButton2")->click();
      In<QPushButton>(dialog, "ButCancel")->click();
    };
    first.Trigger("Act_Convert");
    EXPECT_EQ(first.dialogs->BookDialogs, 1);
    EXPECT_EQ(title, QString::fromUtf8("Сказка"));
    EXPECT_EQ(first.program->Session().Settings().FileNameVariant, 2);
  }
  const std::string ini = testsupport::ReadFile(settings);
  EXPECT_NE(ini.find("ALName=" + Cp("Сидорова")), std::string::npos) << ini;
  EXPECT_NE(ini.find("Mail=editor@example.org"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Url=http://example.org/tale"), std::string::npos) << ini;
  EXPECT_NE(ini.find("atabstop=1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("FManeVar=0"), std::string::npos) << ini;

  RealProgram second(settings);
  second.dialogs->OpenAnswers = {QString::fromStdString(kSample)};
  std::map<std::string, QString> seen;
  bool tabStops = false;
  bool secondVariant = false;
  second.dialogs->InDialog = [&](BookInfoDialog& dialog) {
    for (const char* box : {"E_DI_LName", "E_DI_EMail", "E_DI_Src_Url", "E_TI_BookTitle"})
      seen[box] = In(dialog, box)->text();
    tabStops = In<QCheckBox>(dialog, "ChBTabStop")->isChecked();
    secondVariant = In<QRadioButton>(dialog, "RadioButton2")->isChecked();
  };
  second.Trigger("Act_Convert");
  EXPECT_EQ(seen["E_DI_LName"], QString::fromUtf8("Сидорова"));
  EXPECT_EQ(seen["E_DI_EMail"], "editor@example.org");
  EXPECT_EQ(seen["E_DI_Src_Url"], "http://example.org/tale");
  EXPECT_EQ(seen["E_TI_BookTitle"], "sample");
  EXPECT_TRUE(tabStops);
  EXPECT_TRUE(secondVariant);
}

TEST(BookDialogInProgram, OutputChoicesGoToTheMainWindowAndComeBackFromIt) {
  testsupport::TempFolder folder;
  RealProgram p(folder / "vellumor.ini");
  QCheckBox* mainZip = p.program->Window().findChild<QCheckBox*>("ChBZIp");
  QAction* utfToggle = p.program->Window().Command("TBUtf");
  ASSERT_TRUE(mainZip && utfToggle);
  ASSERT_FALSE(mainZip->isChecked());
  ASSERT_FALSE(utfToggle->isChecked());

  p.dialogs->OpenAnswers = {QString::fromStdString(kSample)};
  p.dialogs->InDialog = [](BookInfoDialog& dialog) {
    In<QRadioButton>(dialog, "RadioButton4")->click();
    In<QCheckBox>(dialog, "ChBZIp")->click();
    In<QPushButton>(dialog, "ButCancel")->click();
  };
  p.Trigger("Act_Convert");
  EXPECT_TRUE(utfToggle->isChecked());
  EXPECT_TRUE(mainZip->isChecked());
  EXPECT_EQ(p.program->Window().StatusText(1), "utf-8");
  EXPECT_EQ(p.program->Session().ResultEditor().Text().rfind(
                "<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0),
            0u);

  // Changed in the main window, they are what the dialog shows next.
  utfToggle->trigger();
  mainZip->click();
  testsupport::ProcessEvents();
  bool utf = true;
  bool zip = true;
  QString firstEncoding;
  p.dialogs->InDialog = [&](BookInfoDialog& dialog) {
    utf = In<QRadioButton>(dialog, "RadioButton4")->isChecked();
    zip = In<QCheckBox>(dialog, "ChBZIp")->isChecked();
    firstEncoding = In<QRadioButton>(dialog, "RadioButton3")->text();
  };
  p.Trigger("Act_Convert");
  EXPECT_EQ(p.dialogs->BookDialogs, 2);
  EXPECT_FALSE(utf);
  EXPECT_FALSE(zip);
  EXPECT_EQ(firstEncoding, "windows-1251");
}

TEST(BookDialogInProgram, ConvertWithTheDialogFilledSavesExactlyThoseValues) {
  testsupport::TempFolder folder;
  RealProgram p(folder / "vellumor.ini");
  const QString saved = QString::fromStdString(folder / "out.fb2");
  p.dialogs->OpenAnswers = {QString::fromStdString(kSample), QString::fromStdString(kOrnament)};
  p.dialogs->SaveAnswers = {saved};
  p.dialogs->GenreAnswer = "sf_history; adventure";
  p.dialogs->InDialog = [](BookInfoDialog& dialog) {
    Fill(dialog, "E_TI_BookTitle", "Капитанская дочка");
    // Through the keyboard, as a user fills it: Enter moves along the author rows.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Type(QString::fromUtf8("Пушкин"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Type(QString::fromUtf8("Александр"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Type(QString::fromUtf8("Сергеевич"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Type("Smith & Sons");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Type("Jane");
    // Enter in an empty row goes to the genre box, where Enter opens the picker.
    for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "E_TI_Genre");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "E_CoverPage");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    In<QPushButton>(dialog, "ButOk")->click();
  };
  p.Trigger("Act_Convert");

  EXPECT_EQ(p.dialogs->BookDialogs, 1);
  EXPECT_EQ(p.dialogs->GenresAsked, std::vector<std::string>{""});
  EXPECT_EQ(p.dialogs->OpenTitles.size(), 2);
  EXPECT_EQ(p.dialogs->OpenTitles.value(1), "Cover image");
  EXPECT_TRUE(p.dialogs->Messages.isEmpty()) << p.dialogs->Messages.join('\n').toStdString();
  ASSERT_TRUE(std::filesystem::exists(saved.toStdString()));

  const std::string fb2 = testsupport::ReadFile(saved.toStdString());
  EXPECT_TRUE(testsupport::IsWellFormedXml(fb2));
  const output::ValidationReport report = output::Fb2Validator().Check(fb2);
  EXPECT_TRUE(report.Valid()) << report.Summary() << ": "
                              << (report.Problems.empty() ? "" : report.Problems[0].Message);

  const std::string head = fb2.substr(0, fb2.find("</title-info>"));
  const std::string expected =
      Cp("   <genre>sf_history</genre>\r\n"
         "   <genre>adventure</genre>\r\n"
         "   <author>\r\n"
         "     <first-name>Александр</first-name>\r\n"
         "     <middle-name>Сергеевич</middle-name>\r\n"
         "     <last-name>Пушкин</last-name>\r\n"
         "   </author>\r\n"
         "   <author>\r\n"
         "     <first-name>Jane</first-name>\r\n"
         "     <last-name>Smith &amp; Sons</last-name>\r\n"
         "   </author>\r\n"
         "   <book-title>Капитанская дочка</book-title>\r\n"
         "   <coverpage>");
  EXPECT_NE(head.find(expected), std::string::npos) << head;
  EXPECT_EQ(head.find("<author>", head.find("Smith")), std::string::npos) << head;
  EXPECT_NE(fb2.find("<binary "), std::string::npos);
  // The save dialog offers the chosen variant, as the boxes finally read.
  ASSERT_EQ(p.dialogs->SaveProposals.size(), 1);
  EXPECT_EQ(QFileInfo(p.dialogs->SaveProposals[0]).fileName(),
            QString::fromUtf8("Пушкин А.С. Капитанская дочка.fb2"));
}

}  // namespace
