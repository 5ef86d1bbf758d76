#pragma once
// The "Images" tab's commands ("Load picture", "Load pictures" with its window) and "Convert
// table", connected to the session. The two panes show the session's ImagesPanes after each of
// these commands; what the user types or clears in a pane goes back into the session at once.

#include <QObject>
#include <functional>

class QPlainTextEdit;

namespace app {
class Session;
}
namespace images::ui {
class BatchImagesWindow;
}

namespace app::ui {

class MainWindow;

class ImagesTabController : public QObject {
  Q_OBJECT

 public:
  // A child of `window`; `session` must outlive its commands.
  ImagesTabController(MainWindow& window, app::Session& session);

  // The batch picture window, made once and kept.
  images::ui::BatchImagesWindow& BatchWindow() { return *batchWindow_; }
  // Shows the session's panes.
  void RefreshPanes();

 private:
  void RunCommand(const std::function<void()>& command);
  void ShowBatchWindow();
  void PaneEdited(int pane);

  MainWindow& window_;
  app::Session& session_;
  QPlainTextEdit* panes_[2] = {};
  images::ui::BatchImagesWindow* batchWindow_ = nullptr;
};

// Connects the commands "Act_LoadImage", "Act_Batch" and "Act_ConvertTable" of `window` (and
// enables them) and the two panes to `session`. Once per window: a second call returns the
// controller of the first.
ImagesTabController& ConnectImagesTab(MainWindow& window, app::Session& session);

}  // namespace app::ui
