#pragma once
// The help window: "help.txt" from the program's folder as plain text, read again each time the
// window is shown so that an edited file shows without a restart.

#include <QDialog>

class QPlainTextEdit;

namespace app::ui {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  HelpWindow(const QString& programFolder, QWidget* parent = nullptr);

  QString HelpFilePath() const { return path_; }
  QString Text() const;

 signals:
  // The help file is missing (or unreadable); the pane keeps its previous text.
  void FileMissing(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString path_;
  QPlainTextEdit* pane_;
};

}  // namespace app::ui
