#include "app/ui/TableFontDialog.h"

#include <QCompleter>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace app::ui {

TableFontDialog::TableFontDialog(const TableFontChoice& font, QWidget* parent)
    : QDialog(parent),
      faces_(new QFontComboBox(this)),
      size_(new QSpinBox(this)),
      sample_(new QLabel(this)) {
  setObjectName(QStringLiteral("TableFontDialog"));
  setWindowTitle(tr("Font"));

  faces_->setObjectName(QStringLiteral("FontFace"));
  faces_->setMinimumContentsLength(24);
  // A typed face that is not installed is kept as typed: fontconfig finds the nearest one
  // when the table is drawn, and the list must not grow with it.
  faces_->setInsertPolicy(QComboBox::NoInsert);
  // Inline completion would turn Enter on an untouched face into the list's first entry.
  faces_->completer()->setCompletionMode(QCompleter::PopupCompletion);
  faces_->setCurrentFont(QFont(font.Name));
  faces_->setEditText(font.Name);

  size_->setObjectName(QStringLiteral("FontSize"));
  size_->setRange(kMinimumSize, kMaximumSize);
  size_->setValue(font.Size);

  sample_->setObjectName(QStringLiteral("FontSample"));
  sample_->setText(QStringLiteral("AaBbYyZz 123"));
  sample_->setTextFormat(Qt::PlainText);
  sample_->setAlignment(Qt::AlignCenter);
  sample_->setFrameShape(QFrame::StyledPanel);
  // A large size is cut off rather than growing the dialog past the screen.
  sample_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  sample_->setFixedHeight(64);

  auto* form = new QFormLayout;
  form->addRow(tr("&Font:"), faces_);
  form->addRow(tr("&Size:"), size_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // A table font needs a face.
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  connect(faces_, &QComboBox::currentTextChanged, ok,
          [ok](const QString& face) { ok->setEnabled(!face.trimmed().isEmpty()); });
  ok->setEnabled(!font.Name.trimmed().isEmpty());
  // The editable face list keeps Enter to itself; a face typed and entered takes the dialog's OK.
  connect(faces_->lineEdit(), &QLineEdit::returnPressed, ok, &QPushButton::click);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(sample_);
  layout->addWidget(buttons);

  connect(faces_, &QComboBox::currentTextChanged, this, &TableFontDialog::UpdateSample);
  connect(size_, &QSpinBox::valueChanged, this, &TableFontDialog::UpdateSample);
  UpdateSample();
  faces_->setFocus();
}

TableFontChoice TableFontDialog::Font() const {
  return {faces_->currentText().trimmed(), size_->value()};
}

std::optional<TableFontChoice> TableFontDialog::Ask(const TableFontChoice& font, QWidget* parent) {
  TableFontDialog dialog(font, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Font();
}

void TableFontDialog::UpdateSample() {
  QFont shown(faces_->currentText());
  shown.setPointSize(size_->value());
  sample_->setFont(shown);
}

}  // namespace app::ui
