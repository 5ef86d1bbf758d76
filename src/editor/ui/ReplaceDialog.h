#pragma once
// The replace dialog ("Replace"): the search and the replacement field with "&Find", "&Replace",
// "&All" and "&Close". Enter in the search field moves on to the replacement field; Enter in the
// replacement field presses "&Find"; Esc presses "&Close". The window reports the presses; the
// main window runs the commands.

#include <QString>
#include <memory>

#include "editor/ui/SearchWindow.h"

namespace Ui {
class ReplaceDialog;
}

namespace editor::ui {

class ReplaceDialog : public SearchWindow {
  Q_OBJECT

 public:
  explicit ReplaceDialog(QWidget* parent = nullptr);
  ~ReplaceDialog() override;

  // The replacement field, as SearchText, SetSearchText and SearchTextEdited are for the search
  // field.
  QString ReplacementText() const;
  void SetReplacementText(const QString& text);
  bool ReplacementTextEdited() const;

 signals:
  void ReplacePressed();  // "&Replace"
  void AllPressed();      // "&All"

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<Ui::ReplaceDialog> ui_;
};

}  // namespace editor::ui
