#pragma once
// The about box: the program's name and version.

#include <QDialog>

namespace app::ui {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace app::ui
