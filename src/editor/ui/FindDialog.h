#pragma once
// The find dialog ("Find"): the search field with "&Find" and "&Close". Enter in the search field
// presses "&Find"; Esc presses "&Close". The window reports the presses; the main window runs
// the search.

#include <memory>

#include "editor/ui/SearchWindow.h"

namespace Ui {
class FindDialog;
}

namespace editor::ui {

class FindDialog : public SearchWindow {
  Q_OBJECT

 public:
  explicit FindDialog(QWidget* parent = nullptr);
  ~FindDialog() override;

 private:
  std::unique_ptr<Ui::FindDialog> ui_;
};

}  // namespace editor::ui
