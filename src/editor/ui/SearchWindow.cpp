#include "editor/ui/SearchWindow.h"

#include <QLayout>
#include <QLineEdit>

namespace editor::ui {

SearchWindow::SearchWindow(QWidget* parent) : QDialog(parent) {
  // A window of its own above its parent (the main window), not modal, only "close" in its frame.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(false);
}

void SearchWindow::FinishSetUp(QLineEdit& searchField) {
  searchField_ = &searchField;
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void SearchWindow::Present() {
  show();
  raise();
  activateWindow();
  searchField_->setFocus(Qt::OtherFocusReason);
  searchField_->selectAll();
}

QString SearchWindow::SearchText() const {
  return searchField_->text();
}

void SearchWindow::SetSearchText(const QString& text) {
  SetFieldText(*searchField_, text);
}

bool SearchWindow::SearchTextEdited() const {
  return searchField_->isModified();
}

void SearchWindow::SetFieldText(QLineEdit& field, const QString& text) {
  // Setting the same text again would move the caret and forget the field's undo steps.
  if (field.text() != text) field.setText(text);
  field.setModified(false);
}

void SearchWindow::reject() {
  emit ClosePressed();
  QDialog::reject();
}

}  // namespace editor::ui
