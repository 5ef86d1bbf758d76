#include "editor/ui/ReplaceDialog.h"

#include <QKeyEvent>

#include "ui_ReplaceDialog.h"

namespace editor::ui {

ReplaceDialog::ReplaceDialog(QWidget* parent) : SearchWindow(parent), ui_(new Ui::ReplaceDialog) {
  ui_->setupUi(this);
  FinishSetUp(*ui_->SearchText);
  // "&Find" is the default button, so Enter in the replacement field presses it; Enter in the
  // search field is taken before the dialog sees it.
  ui_->SearchText->installEventFilter(this);
  connect(ui_->ButFind, &QPushButton::clicked, this, &SearchWindow::FindPressed);
  connect(ui_->ButReplace, &QPushButton::clicked, this, &ReplaceDialog::ReplacePressed);
  connect(ui_->ButAll, &QPushButton::clicked, this, &ReplaceDialog::AllPressed);
  connect(ui_->ButClose, &QPushButton::clicked, this, &SearchWindow::reject);
}

ReplaceDialog::~ReplaceDialog() = default;

QString ReplaceDialog::ReplacementText() const {
  return ui_->ReplacementText->text();
}

void ReplaceDialog::SetReplacementText(const QString& text) {
  SetFieldText(*ui_->ReplacementText, text);
}

bool ReplaceDialog::ReplacementTextEdited() const {
  return ui_->ReplacementText->isModified();
}

bool ReplaceDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->SearchText && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      focusNextChild();
      return true;
    }
  }
  return SearchWindow::eventFilter(watched, event);
}

}  // namespace editor::ui
