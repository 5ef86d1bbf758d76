#include "app/ui/SettingsPage.h"

#include <QButtonGroup>
#include <QIntValidator>
#include <QSignalBlocker>
#include <climits>
#include <utility>

#include "ui_SettingsPage.h"

namespace app::ui {

namespace {

constexpr int kHeadingLevels = 6;

// Any integer may be typed, a minus sign included; text that is no number reads 0.
int ReadNumber(const QLineEdit& field) {
  bool ok = false;
  const int value = field.text().trimmed().toInt(&ok);
  return ok ? value : 0;
}

// Checks the option `id` of `group`, or none when the group has no such option.
void CheckOption(QButtonGroup& group, int id) {
  if (QAbstractButton* button = group.button(id)) {
    button->setChecked(true);
    return;
  }
  group.setExclusive(false);
  for (QAbstractButton* button : group.buttons()) button->setChecked(false);
  group.setExclusive(true);
}

}  // namespace

SettingsPage::SettingsPage(QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<::Ui::SettingsPage>()),
      tableModes_(new QButtonGroup(this)),
      tableBorders_(new QButtonGroup(this)),
      fontChooser_(&TableFontDialog::Ask),
      codePage_(platform::SystemCodePageNumber()) {
  ui_->setupUi(this);

  for (QLineEdit* field : {ui_->SpinEdit1, ui_->SpinEdit2}) {
    field->setValidator(new QIntValidator(INT_MIN, INT_MAX, field));
  }

  tableModes_->addButton(ui_->RadioButton6, static_cast<int>(TableMode::AsIs));
  tableModes_->addButton(ui_->RadioButton7, static_cast<int>(TableMode::ContentOnly));
  tableModes_->addButton(ui_->RadioButton8, static_cast<int>(TableMode::ConvertToImage));
  tableBorders_->addButton(ui_->RadioButton4, static_cast<int>(TableBorder::AsSource));
  tableBorders_->addButton(ui_->RadioButton5, static_cast<int>(TableBorder::Visible));

  // Only what the user does is reported: these signals stay silent when the page is filled.
  for (QAbstractButton* box :
       {ui_->ChBShowTitleInfo, ui_->CheckBox18, ui_->ChBHyperLinks, ui_->ChBZIp, ui_->ChBRepair}) {
    connect(box, &QAbstractButton::clicked, this, &SettingsPage::SettingsEdited);
  }
  connect(ui_->ChBZIp, &QAbstractButton::clicked, this, &SettingsPage::PackToZipToggled);
  for (QLineEdit* field : {ui_->ELang, ui_->SpinEdit1, ui_->SpinEdit2}) {
    connect(field, &QLineEdit::textEdited, this, &SettingsPage::SettingsEdited);
  }
  connect(ui_->Combo1, &QComboBox::activated, this, &SettingsPage::SettingsEdited);
  for (QButtonGroup* group : {tableModes_, tableBorders_}) {
    connect(group, &QButtonGroup::idClicked, this, &SettingsPage::SettingsEdited);
  }
  connect(ui_->SBFont, &QToolButton::clicked, this, &SettingsPage::ChooseTableFont);

  ShowSettings(ConversionSettings{});
}

SettingsPage::~SettingsPage() = default;

void SettingsPage::ShowSettings(const ConversionSettings& settings) {
  const QSignalBlocker blockers[] = {QSignalBlocker(ui_->ChBShowTitleInfo),
                                     QSignalBlocker(ui_->ELang),
                                     QSignalBlocker(ui_->Combo1),
                                     QSignalBlocker(ui_->CheckBox18),
                                     QSignalBlocker(ui_->SpinEdit1),
                                     QSignalBlocker(ui_->SpinEdit2),
                                     QSignalBlocker(ui_->RadioButton4),
                                     QSignalBlocker(ui_->RadioButton5),
                                     QSignalBlocker(ui_->RadioButton6),
                                     QSignalBlocker(ui_->RadioButton7),
                                     QSignalBlocker(ui_->RadioButton8),
                                     QSignalBlocker(tableModes_),
                                     QSignalBlocker(tableBorders_),
                                     QSignalBlocker(ui_->ChBHyperLinks),
                                     QSignalBlocker(ui_->ChBZIp),
                                     QSignalBlocker(ui_->ChBRepair),
                                     QSignalBlocker(this)};

  ui_->ChBShowTitleInfo->setChecked(settings.ShowTitleInfo);
  ui_->ELang->setText(QString::fromStdString(codePage_.ToUtf8(settings.DefaultLanguage)));
  const int level = settings.TitleHeadingLevel;
  ui_->Combo1->setCurrentIndex(level >= 0 && level < kHeadingLevels ? level : 0);

  ui_->CheckBox18->setChecked(settings.ResizeImages);
  ui_->SpinEdit1->setText(QString::number(settings.MaxImageWidth));
  ui_->SpinEdit2->setText(QString::number(settings.MaxImageHeight));
  CheckOption(*tableModes_, static_cast<int>(settings.TableMode));
  CheckOption(*tableBorders_, static_cast<int>(settings.TableBorder));
  ShowTableFont(
      {QString::fromStdString(codePage_.ToUtf8(settings.TableFontName)), settings.TableFontSize});

  ui_->ChBHyperLinks->setChecked(settings.ShowHyperlinks);
  ui_->ChBZIp->setChecked(settings.PackToZip);
  ui_->ChBRepair->setChecked(settings.RepairStructure);
}

void SettingsPage::ReadSettings(ConversionSettings& settings) const {
  settings.ShowTitleInfo = ui_->ChBShowTitleInfo->isChecked();
  settings.DefaultLanguage =
      codePage_.FromUtf8(ui_->ELang->text().toStdString(), platform::Unmappable::QuestionMark)
          .value_or(std::string());
  settings.TitleHeadingLevel = ui_->Combo1->currentIndex();

  settings.ResizeImages = ui_->CheckBox18->isChecked();
  settings.MaxImageWidth = ReadNumber(*ui_->SpinEdit1);
  settings.MaxImageHeight = ReadNumber(*ui_->SpinEdit2);
  // A group without a selection reads as the conversion treats it.
  const int mode = tableModes_->checkedId();
  settings.TableMode = mode < 0 ? TableMode::AsIs : static_cast<TableMode>(mode);
  const int border = tableBorders_->checkedId();
  settings.TableBorder = border < 0 ? TableBorder::AsSource : static_cast<TableBorder>(border);
  settings.TableFontName =
      codePage_.FromUtf8(tableFont_.Name.toStdString(), platform::Unmappable::QuestionMark)
          .value_or(std::string());
  settings.TableFontSize = tableFont_.Size;

  settings.ShowHyperlinks = ui_->ChBHyperLinks->isChecked();
  settings.PackToZip = ui_->ChBZIp->isChecked();
  settings.RepairStructure = ui_->ChBRepair->isChecked();
}

void SettingsPage::SetFontChooser(FontChooser chooser) {
  fontChooser_ = std::move(chooser);
}

void SettingsPage::ChooseTableFont() {
  const std::optional<TableFontChoice> chosen = fontChooser_(tableFont_, this);
  if (!chosen) return;
  ShowTableFont(*chosen);
  emit SettingsEdited();
  emit TableFontChosen();
}

// The label shows the face, a comma and a blank, and the size.
void SettingsPage::ShowTableFont(const TableFontChoice& font) {
  tableFont_ = font;
  const QString text = font.Name + QStringLiteral(", ") + QString::number(font.Size);
  ui_->Label6->setText(text);
  ui_->Label6->setToolTip(text);
}

}  // namespace app::ui
