#pragma once
// What the find and the replace dialog share: a small window of its own, fixed in size, with
// only a close button in its frame, that stays above the main window without blocking it. The
// window is only hidden when closed, so its fields keep their texts for the whole run.

#include <QDialog>
#include <QString>

class QLineEdit;

namespace editor::ui {

class SearchWindow : public QDialog {
  Q_OBJECT

 public:
  // Shows the window, or brings it forward, with the focus in the search field and its text
  // selected.
  void Present();

  // The search field. SetSearchText shows a text (the field is left alone when it shows it
  // already) and counts as unedited; SearchTextEdited says whether the user changed the field
  // since it was last set.
  QString SearchText() const;
  void SetSearchText(const QString& text);
  bool SearchTextEdited() const;

  // Esc, the frame's close button and "&Close" all come here: ClosePressed, then the window hides.
  void reject() override;

 signals:
  // "&Find" (or Enter where it presses "&Find").
  void FindPressed();
  // "&Close", Esc or the frame's close button, before the window hides.
  void ClosePressed();

 protected:
  explicit SearchWindow(QWidget* parent);
  // The derived window's form is set up: its search field, and its layout fixes the size.
  void FinishSetUp(QLineEdit& searchField);

  // Shows `text` in `field` as SetSearchText does.
  static void SetFieldText(QLineEdit& field, const QString& text);

 private:
  QLineEdit* searchField_ = nullptr;
};

}  // namespace editor::ui
