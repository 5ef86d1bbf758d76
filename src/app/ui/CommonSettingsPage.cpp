#include "app/ui/CommonSettingsPage.h"

#include <QButtonGroup>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSignalBlocker>
#include <iterator>
#include <utility>

#include "ui_CommonSettingsPage.h"

namespace app::ui {

namespace {

constexpr int kCharsetCount = static_cast<int>(std::size(kCharsetNames));

QString AskLanguageFile(const QString& current, QWidget* parent) {
  return QFileDialog::getOpenFileName(
      parent, QObject::tr("Open language file"),
      current.isEmpty() ? QString() : QFileInfo(current).absolutePath(),
      QObject::tr("Language Files (*.lng);;All Files (*)"));
}

}  // namespace

CommonSettingsPage::CommonSettingsPage(QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<::Ui::CommonSettingsPage>()),
      languages_(new QButtonGroup(this)),
      languageFileChooser_(&AskLanguageFile) {
  ui_->setupUi(this);

  for (const char* name : kCharsetNames) ui_->Combo2->addItem(QString::fromLatin1(name));

  languages_->addButton(ui_->RadioButton1, static_cast<int>(InterfaceLanguage::English));
  languages_->addButton(ui_->RadioButton2, static_cast<int>(InterfaceLanguage::Russian));
  languages_->addButton(ui_->RadioButton3, static_cast<int>(InterfaceLanguage::Other));

  // Only what the user does is reported: these signals stay silent when the page is filled.
  connect(languages_, &QButtonGroup::idClicked, this, &CommonSettingsPage::SettingsEdited);
  connect(languages_, &QButtonGroup::idClicked, this, [this] { emit LanguageChosen(false); });
  connect(ui_->SpeedButton1, &QToolButton::clicked, this, &CommonSettingsPage::ChooseLanguageFile);
  connect(ui_->Combo2, &QComboBox::activated, this, &CommonSettingsPage::SettingsEdited);
  connect(ui_->Combo2, &QComboBox::activated, this, &CommonSettingsPage::CharsetChosen);

  ShowSettings(ConversionSettings{});
}

CommonSettingsPage::~CommonSettingsPage() = default;

void CommonSettingsPage::ShowSettings(const ConversionSettings& settings) {
  const QSignalBlocker blockers[] = {
      QSignalBlocker(ui_->RadioButton1), QSignalBlocker(ui_->RadioButton2),
      QSignalBlocker(ui_->RadioButton3), QSignalBlocker(languages_),
      QSignalBlocker(ui_->Combo2),       QSignalBlocker(this)};

  if (QAbstractButton* option = languages_->button(static_cast<int>(settings.InterfaceLanguage))) {
    option->setChecked(true);
  } else {
    // No option selected: an exclusive group refuses to clear its checked button.
    languages_->setExclusive(false);
    for (QAbstractButton* button : languages_->buttons()) button->setChecked(false);
    languages_->setExclusive(true);
  }
  ShowLanguageFile(QFile::decodeName(settings.OtherLanguageFile.c_str()));

  const int charset = settings.Charset;
  ui_->Combo2->setCurrentIndex(charset >= 0 && charset < kCharsetCount ? charset
                                                                       : kDefaultCharsetIndex);
}

void CommonSettingsPage::ReadSettings(ConversionSettings& settings) const {
  const int language = languages_->checkedId();
  settings.InterfaceLanguage =
      language < 0 ? InterfaceLanguage::None : static_cast<InterfaceLanguage>(language);
  // The label is the value: a language file that gives "Label1" a text changes it too.
  settings.OtherLanguageFile = QFile::encodeName(ui_->Label1->text()).toStdString();
  settings.Charset = ui_->Combo2->currentIndex();
}

void CommonSettingsPage::SetRussianAvailable(bool available) {
  ui_->RadioButton2->setEnabled(available);
}

void CommonSettingsPage::SetLanguageFileChooser(LanguageFileChooser chooser) {
  languageFileChooser_ = std::move(chooser);
}

void CommonSettingsPage::ChooseLanguageFile() {
  const QString path = languageFileChooser_(ui_->Label1->text(), this);
  if (path.isEmpty()) return;
  ShowLanguageFile(path);
  emit SettingsEdited();
  emit LanguageChosen(true);
}

void CommonSettingsPage::ShowLanguageFile(const QString& path) {
  ui_->Label1->setText(path);
  ui_->Label1->setToolTip(path);
}

}  // namespace app::ui
