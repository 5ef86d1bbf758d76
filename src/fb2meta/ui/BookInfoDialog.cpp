#include "fb2meta/ui/BookInfoDialog.h"

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QRegularExpressionValidator>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QValidator>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "engine/TextUtil.h"
#include "fb2meta/Dates.h"
#include "fb2meta/FileNames.h"
#include "ui_BookInfoDialog.h"

namespace fb2meta::ui {
namespace {

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Keeps a box to what its code page can hold: a character the code page lacks becomes "?" as
// it is typed or pasted, so the box always shows what the book will get.
class CodePageValidator : public QValidator {
 public:
  CodePageValidator(const platform::CodePage& codePage, QObject* parent)
      : QValidator(parent), codePage_(codePage) {}

  State validate(QString& input, int& pos) const override {
    const std::string bytes =
        codePage_.FromUtf8(input.toStdString(), platform::Unmappable::QuestionMark)
            .value_or(std::string());
    const QString kept = FromUtf8(codePage_.ToUtf8(bytes));
    if (kept != input) {
      pos = std::min<int>(pos, static_cast<int>(kept.size()));
      input = kept;
    }
    return Acceptable;
  }

 private:
  const platform::CodePage& codePage_;
};

bool IsEnter(const QKeyEvent& key) {
  return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
         (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsPlainKey(const QKeyEvent& key, Qt::Key which) {
  return key.key() == which && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// A key that types a character: printable text without Ctrl, Alt or Meta.
bool TypesCharacter(const QKeyEvent& key) {
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString text = key.text();
  return !text.isEmpty() && text.front().isPrint();
}

// The version box's number, read as the description writer reads it.
std::optional<double> VersionNumber(std::string_view version) {
  std::string text(engine::Trim(version));
  for (char& c : text)
    if (c == ',') c = '.';
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  double value = 0;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (begin == end || error != std::errc() || stop != end || !std::isfinite(value))
    return std::nullopt;
  return value;
}

// The day or month part of the date box ("8_", "_8", "08", "__"): one digit gets its leading
// zero, so that the date reads as a calendar date; an empty part stays blank.
std::string DatePart(const QString& part) {
  std::string digits;
  for (QChar c : part)
    if (c.isDigit()) digits.push_back(static_cast<char>(c.unicode()));
  if (digits.empty()) return "  ";
  return digits.size() == 1 ? "0" + digits : digits;
}

// A caption that shows `text` literally ("&" is not a mnemonic there).
QString Literal(QString text) {
  return text.replace('&', QStringLiteral("&&"));
}

}  // namespace

BookInfoDialog::BookInfoDialog(BookInfoDialogHooks hooks, int codePage, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<::Ui::BookInfoDialog>()),
      hooks_(std::move(hooks)),
      codePage_(codePage) {
  ui_->setupUi(this);
  lastNames_ = {ui_->E_TI_ALName, ui_->E_TI_ALName2, ui_->E_TI_ALName3, ui_->E_TI_ALName4};
  firstNames_ = {ui_->E_TI_AFName, ui_->E_TI_AFName2, ui_->E_TI_AFName3, ui_->E_TI_AFName4};
  middleNames_ = {ui_->E_TI_AMName, ui_->E_TI_AMName2, ui_->E_TI_AMName3, ui_->E_TI_AMName4};

  textValidator_ = new CodePageValidator(codePage_, this);
  for (QLineEdit* box : findChildren<QLineEdit*>()) {
    if (box != ui_->ME_Date && box != ui_->E_CoverPage && box != ui_->E_DI_Version)
      box->setValidator(textValidator_);
  }
  ui_->E_DI_Version->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral(R"(\+?[0-9]{0,9}([.,][0-9]{0,2})?)")), this));

  // Widths in characters of the font, so that the usual values stay readable at the smallest
  // size: a whole document id, names of a dozen letters. The file names are often longer than
  // the dialog is wide: shortened in the middle, in full in the hint.
  const auto characters = [this](int count) {
    return fontMetrics().horizontalAdvance(QLatin1Char('0')) * count + 12;
  };
  ui_->E_DI_ID->setMinimumWidth(characters(37));
  for (QLineEdit* box : {ui_->E_DI_LName, ui_->E_DI_FName, ui_->E_DI_MName, ui_->E_DI_NickName,
                         ui_->E_DI_HomePage, ui_->E_DI_EMail})
    box->setMinimumWidth(characters(14));
  for (QRadioButton* variant : {ui_->RadioButton1, ui_->RadioButton2})
    variant->setMinimumWidth(characters(24));

  for (QWidget* control : findChildren<QWidget*>()) {
    if (qobject_cast<QLineEdit*>(control) || qobject_cast<QAbstractButton*>(control))
      control->installEventFilter(this);
  }
  ui_->PageControl1->tabBar()->installEventFilter(this);
  ConnectControls();
  ui_->PageControl1->setCurrentIndex(0);
}

BookInfoDialog::~BookInfoDialog() {
  // The boxes go after codePage_, and a box losing the focus on the way is validated once more:
  // the validator that reads codePage_ is taken off them first.
  for (QLineEdit* box : findChildren<QLineEdit*>()) {
    if (box->validator() == textValidator_) box->setValidator(nullptr);
  }
}

QString BookInfoDialog::CoverDialogTitle() {
  return QStringLiteral("Cover image");
}

QStringList BookInfoDialog::CoverFilters() {
  return {QStringLiteral("All (*.gif *.jpg *png)"), QStringLiteral("GIF Image (*.gif)"),
          QStringLiteral("JPEG Image File (*.jpg)"), QStringLiteral("PNG Image (*.png)")};
}

void BookInfoDialog::ConnectControls() {
  connect(ui_->SBSelect, &QToolButton::clicked, this, &BookInfoDialog::PickGenres);
  connect(ui_->SBCover, &QToolButton::clicked, this, &BookInfoDialog::PickCover);
  connect(ui_->ButNext, &QPushButton::clicked, this, &BookInfoDialog::ShowDocumentInfo);
  connect(ui_->ButOk, &QPushButton::clicked, this, &BookInfoDialog::accept);
  connect(ui_->ButCancel, &QPushButton::clicked, this, &BookInfoDialog::reject);
  connect(ui_->ChBTabStop, &QCheckBox::toggled, this, &BookInfoDialog::ApplyTabStops);
}

void BookInfoDialog::SetTextCodePage(int codePage) {
  codePage_ = platform::CodePage(codePage);
}

bool BookInfoDialog::Edit(BookInfo& info) {
  Load(info);
  const int result = exec();
  Store(info);
  return result == QDialog::Accepted;
}

void BookInfoDialog::Load(const BookInfo& info) {
  dateUnchecked_ = false;
  shown_.clear();
  Put(*ui_->E_TI_BookTitle, info.BookTitle);
  for (size_t row = 0; row < info.Authors.size(); ++row) {
    Put(*lastNames_[row], info.Authors[row].LastName);
    Put(*firstNames_[row], info.Authors[row].FirstName);
    Put(*middleNames_[row], info.Authors[row].MiddleName);
  }
  Put(*ui_->E_TI_Genre, info.Genres);
  PutPath(*ui_->E_CoverPage, info.CoverImagePath);
  Put(*ui_->E_TI_Language, info.Language);
  PutDate(info.DocumentDate);
  Put(*ui_->E_DI_Date, info.DocumentDateText);
  Put(*ui_->E_DI_ID, info.DocumentId);
  PutVersion(info.DocumentVersion);
  Put(*ui_->E_DI_Src_Url, info.SourceUrls);
  const DocumentAuthorInfo& author = info.DocumentAuthor;
  Put(*ui_->E_DI_LName, author.LastName);
  Put(*ui_->E_DI_FName, author.FirstName);
  Put(*ui_->E_DI_MName, author.MiddleName);
  Put(*ui_->E_DI_NickName, author.NickName);
  Put(*ui_->E_DI_HomePage, author.HomePages);
  Put(*ui_->E_DI_EMail, author.EMails);

  proposals_ = info.FileNameProposals;
  ShowProposals();
  ui_->RadioButton3->setText(Literal(Decode(info.EncodingCaption)));
  (info.UtfOutput ? ui_->RadioButton4 : ui_->RadioButton3)->setChecked(true);
  (info.FileNameVariant == 2 ? ui_->RadioButton2 : ui_->RadioButton1)->setChecked(true);
  ui_->ChBZIp->setChecked(info.PackToZip);
  ui_->ChBTabStop->setChecked(info.DocumentAuthorTabStops);
  ApplyTabStops(info.DocumentAuthorTabStops);

  ui_->PageControl1->setCurrentIndex(0);
  ui_->E_TI_BookTitle->setFocus(Qt::OtherFocusReason);
  ui_->E_TI_BookTitle->selectAll();
  dateUnchecked_ = false;
}

void BookInfoDialog::Store(BookInfo& info) const {
  info.BookTitle = Take(*ui_->E_TI_BookTitle);
  for (size_t row = 0; row < info.Authors.size(); ++row) {
    info.Authors[row].LastName = Take(*lastNames_[row]);
    info.Authors[row].FirstName = Take(*firstNames_[row]);
    info.Authors[row].MiddleName = Take(*middleNames_[row]);
  }
  info.Genres = Take(*ui_->E_TI_Genre);
  info.CoverImagePath = TakePath(*ui_->E_CoverPage);
  info.Language = Take(*ui_->E_TI_Language);
  info.DocumentDate = TakeDate();
  info.DocumentDateText = Take(*ui_->E_DI_Date);
  info.DocumentId = Take(*ui_->E_DI_ID);
  info.DocumentVersion = Take(*ui_->E_DI_Version);
  info.SourceUrls = Take(*ui_->E_DI_Src_Url);
  DocumentAuthorInfo& author = info.DocumentAuthor;
  author.LastName = Take(*ui_->E_DI_LName);
  author.FirstName = Take(*ui_->E_DI_FName);
  author.MiddleName = Take(*ui_->E_DI_MName);
  author.NickName = Take(*ui_->E_DI_NickName);
  author.HomePages = Take(*ui_->E_DI_HomePage);
  author.EMails = Take(*ui_->E_DI_EMail);

  info.FileNameProposals = proposals_;
  info.UtfOutput = ui_->RadioButton4->isChecked();
  info.FileNameVariant = ui_->RadioButton2->isChecked() ? 2 : 1;
  info.PackToZip = ui_->ChBZIp->isChecked();
  info.DocumentAuthorTabStops = ui_->ChBTabStop->isChecked();
}

void BookInfoDialog::accept() {
  // A click on "Ok" takes the focus from the date box without checking it; the check is made
  // here, and a wrong date keeps the dialog open.
  if (dateUnchecked_) {
    dateUnchecked_ = false;
    if (!CheckDate()) return;
  }
  QDialog::accept();
}

bool BookInfoDialog::eventFilter(QObject* watched, QEvent* event) {
  auto* box = qobject_cast<QWidget*>(watched);
  if (!box) return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      if (KeyPressed(box, *static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::FocusIn: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (box == ui_->ME_Date && reason != Qt::ActiveWindowFocusReason &&
          reason != Qt::PopupFocusReason)
        dateUnchecked_ = true;
      break;
    }
    case QEvent::FocusOut:
      FocusLeft(box, static_cast<QFocusEvent*>(event)->reason());
      break;
    case QEvent::Resize:
      if (box == ui_->RadioButton1 || box == ui_->RadioButton2) ShowProposals();
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

bool BookInfoDialog::KeyPressed(QWidget* box, const QKeyEvent& key) {
  if (box == ui_->E_TI_Genre) return GenreKeyPressed(key);
  if (box == ui_->E_CoverPage && IsPlainKey(key, Qt::Key_F3)) {
    PickCover();
    return true;
  }
  if (!IsEnter(key)) return false;
  if (auto* button = qobject_cast<QAbstractButton*>(box); button && !button->isCheckable()) {
    button->click();
    return true;
  }
  if (QWidget* target = EnterTarget(box)) {
    target->setFocus(Qt::TabFocusReason);
  } else {
    focusNextChild();
  }
  return true;
}

bool BookInfoDialog::GenreKeyPressed(const QKeyEvent& key) {
  if (IsPlainKey(key, Qt::Key_F3)) {
    PickGenres();
    return true;
  }
  if ((TypesCharacter(key) || IsEnter(key)) && ui_->E_TI_Genre->text().isEmpty()) {
    PickGenres();
    return true;
  }
  if (IsEnter(key)) {
    focusNextChild();
    return true;
  }
  return false;
}

// Where Enter goes from the author rows; null for the next control in tab order.
QWidget* BookInfoDialog::EnterTarget(QWidget* box) const {
  QWidget* genre = ui_->E_TI_Genre;
  for (size_t row = 0; row < lastNames_.size(); ++row) {
    if (box == lastNames_[row]) return lastNames_[row]->text().isEmpty() ? genre : nullptr;
    const bool lastRow = row + 1 == lastNames_.size();
    if (box == firstNames_[row] || (box == middleNames_[row] && !lastRow)) {
      if (!firstNames_[row]->text().isEmpty()) return nullptr;
      if (!lastNames_[row]->text().isEmpty()) return lastRow ? genre : lastNames_[row + 1];
      return genre;
    }
  }
  return nullptr;
}

void BookInfoDialog::FocusLeft(QWidget* box, Qt::FocusReason reason) {
  // Another window taking the focus (a message, a menu, the dialog closing) is not leaving a box.
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  if (box == ui_->E_TI_BookTitle ||
      std::find(lastNames_.begin(), lastNames_.end(), box) != lastNames_.end() ||
      std::find(firstNames_.begin(), firstNames_.end(), box) != firstNames_.end() ||
      std::find(middleNames_.begin(), middleNames_.end(), box) != middleNames_.end()) {
    ProposeFileNames();
    return;
  }
  if (box != ui_->ME_Date || !dateUnchecked_) return;
  // "Ok" and "Cancel" decide for themselves when they are clicked.
  const QWidget* next = QApplication::focusWidget();
  if (next == ui_->ButOk || next == ui_->ButCancel) return;
  dateUnchecked_ = false;
  // After the focus has settled, so that the message does not come between a mouse press and
  // its release.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (isVisible()) CheckDate();
      },
      Qt::QueuedConnection);
}

void BookInfoDialog::PickGenres() {
  if (!hooks_.PickGenres) return;
  const std::string genres = hooks_.PickGenres(Take(*ui_->E_TI_Genre));
  Put(*ui_->E_TI_Genre, genres);
  ui_->E_TI_Genre->setFocus(Qt::OtherFocusReason);
}

void BookInfoDialog::PickCover() {
  if (!hooks_.PickCoverFile) return;
  const QString path =
      hooks_.PickCoverFile(CoverDialogTitle(), CoverFilters(), ui_->E_CoverPage->text());
  if (!path.isEmpty()) ui_->E_CoverPage->setText(path);
  ui_->E_CoverPage->setFocus(Qt::OtherFocusReason);
}

void BookInfoDialog::ShowDocumentInfo() {
  ui_->PageControl1->setCurrentWidget(ui_->TabSheet2);
  ui_->ME_Date->setFocus(Qt::TabFocusReason);
}

void BookInfoDialog::ApplyTabStops(bool tabStops) {
  for (QLineEdit* box : {ui_->E_DI_LName, ui_->E_DI_FName, ui_->E_DI_MName, ui_->E_DI_NickName,
                         ui_->E_DI_HomePage, ui_->E_DI_EMail})
    box->setFocusPolicy(tabStops ? Qt::StrongFocus : Qt::ClickFocus);
}

void BookInfoDialog::ProposeFileNames() {
  BookInfo names;
  names.BookTitle = Take(*ui_->E_TI_BookTitle);
  names.Authors[0] = {Take(*firstNames_[0]), Take(*middleNames_[0]), Take(*lastNames_[0])};
  names.FileNameProposals = proposals_;
  fb2meta::ProposeFileNames(names, codePage_);
  proposals_ = names.FileNameProposals;
  ShowProposals();
}

void BookInfoDialog::ShowProposals() {
  ShowProposal(*ui_->RadioButton1, 0);
  ShowProposal(*ui_->RadioButton2, 1);
}

void BookInfoDialog::ShowProposal(QRadioButton& button, int variant) {
  const QString name = Decode(proposals_[static_cast<size_t>(variant)]);
  QStyleOptionButton option;
  option.initFrom(&button);
  const int room =
      style()->subElementRect(QStyle::SE_RadioButtonContents, &option, &button).width() - 4;
  const QString shown = button.fontMetrics().elidedText(name, Qt::ElideMiddle, std::max(room, 0));
  if (button.toolTip() != name) {
    button.setToolTip(name);
    button.setAccessibleName(name);
  }
  const QString caption = Literal(shown.isEmpty() ? name : shown);
  if (button.text() != caption) button.setText(caption);
}

bool BookInfoDialog::CheckDate() {
  BookInfo date;
  date.DocumentDate = TakeDate();
  date.DocumentDateText = Take(*ui_->E_DI_Date);
  if (!CheckDocumentDate(date)) {
    Message(FromUtf8(kDateIsWrong));
    return false;
  }
  if (ui_->E_DI_Date->text().isEmpty()) ui_->E_DI_Date->setText(Decode(date.DocumentDateText));
  return true;
}

void BookInfoDialog::Message(const QString& text) {
  if (hooks_.ShowMessage) {
    hooks_.ShowMessage(text);
  } else {
    QMessageBox::information(this, windowTitle(), text);
  }
}

QString BookInfoDialog::Decode(std::string_view bytes) const {
  return FromUtf8(codePage_.ToUtf8(bytes));
}

void BookInfoDialog::Put(QLineEdit& box, const std::string& bytes) {
  box.setText(Decode(bytes));
  shown_[&box] = {bytes, box.text()};
}

void BookInfoDialog::PutPath(QLineEdit& box, const std::string& path) {
  box.setText(QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size()))));
  shown_[&box] = {path, box.text()};
}

void BookInfoDialog::PutDate(const std::string& date) {
  ui_->ME_Date->setText(Decode(date));
  shown_[ui_->ME_Date] = {date, ui_->ME_Date->displayText()};
}

void BookInfoDialog::PutVersion(const std::string& version) {
  const std::optional<double> number = VersionNumber(version);
  ui_->E_DI_Version->setText(number ? QString::number(*number, 'f', 2) : Decode(version));
  shown_[ui_->E_DI_Version] = {version, ui_->E_DI_Version->text()};
}

const BookInfoDialog::Shown* BookInfoDialog::Unchanged(const QLineEdit& box) const {
  const auto it = shown_.find(&box);
  if (it == shown_.end()) return nullptr;
  const QString now = &box == ui_->ME_Date ? box.displayText() : box.text();
  return now == it->second.Text ? &it->second : nullptr;
}

std::string BookInfoDialog::Take(const QLineEdit& box) const {
  if (const Shown* shown = Unchanged(box)) return shown->Bytes;
  return codePage_.FromUtf8(box.text().toStdString(), platform::Unmappable::QuestionMark)
      .value_or(std::string());
}

std::string BookInfoDialog::TakePath(const QLineEdit& box) const {
  if (const Shown* shown = Unchanged(box)) return shown->Bytes;
  return QFile::encodeName(box.text()).toStdString();
}

// The date box as "dd.mm.yyyy", blanks where nothing was typed.
std::string BookInfoDialog::TakeDate() const {
  if (const Shown* shown = Unchanged(*ui_->ME_Date)) return shown->Bytes;
  const QStringList parts = ui_->ME_Date->displayText().split(QLatin1Char('.'));
  if (parts.size() != 3) return {};
  std::string year = parts[2].toStdString();
  for (char& c : year)
    if (c == '_') c = ' ';
  return DatePart(parts[0]) + "." + DatePart(parts[1]) + "." + year;
}

}  // namespace fb2meta::ui
