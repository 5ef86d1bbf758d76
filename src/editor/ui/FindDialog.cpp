#include "editor/ui/FindDialog.h"

#include "ui_FindDialog.h"

namespace editor::ui {

FindDialog::FindDialog(QWidget* parent) : SearchWindow(parent), ui_(new Ui::FindDialog) {
  ui_->setupUi(this);
  FinishSetUp(*ui_->SearchText);
  // "&Find" is the default button, so Enter in the search field presses it.
  connect(ui_->ButFind, &QPushButton::clicked, this, &SearchWindow::FindPressed);
  connect(ui_->ButClose, &QPushButton::clicked, this, &SearchWindow::reject);
}

FindDialog::~FindDialog() = default;

}  // namespace editor::ui
