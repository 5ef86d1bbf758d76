#pragma once
// The batch window "Batch": a folder tree and the folder's files (filtered by the file-type
// list), the conversion list with its toolbar, the output folder "Save to:", and "Start" /
// "Cancel".
//
// The window edits the conversion list it is given and reaches the program only through
// BatchWindow::Commands; it never sees the session. The list's entries are its texts exactly
// ("Done: ...", "Error: <code>: ..." after a batch, as list files hold them); the reason of a
// failed entry is shown beside it, in the second column, the entry's tooltip and, in full, under
// the list for the selected entry; it is not part of the list.
//
// A batch runs on the user-interface thread inside "Start". After each entry the window lets
// every pending event run, the user's input included, so that it repaints and "Cancel" gets
// through; the rows and the progress ("n of N") are brought up to date every 50 ms (and after
// every slow entry). The commands that change the list or the folder are disabled meanwhile.
// "Cancel" (also Esc and closing the window) during a batch ends it after the entry in progress;
// otherwise it closes the window, which keeps its list and folder.

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchStart.h"
#include "batch/ConversionList.h"
#include "platform/CodePage.h"

class QAction;
class QFileSystemModel;
class QModelIndex;
class QTimer;
class QTreeWidgetItem;

namespace Ui {
class BatchWindow;
}

namespace batch::ui {

class BatchWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMinimumWidth = 580;
  static constexpr int kMinimumHeight = 400;

  // What the window asks of the program.
  struct Commands {
    // "Load file": the list replaced by the lines of a file the user picks.
    std::function<void()> LoadList;
    // "Save file": the list written into a file the user names.
    std::function<void()> SaveList;
    // The folder button's dialog: the folder chosen, empty when cancelled.
    std::function<std::string()> AskFolder;
    // "Start": the batch over the list into `folder`, the "Save to:" text, which the batch's
    // own folder dialog may replace. `entryDone` after each entry; `cancelled` before each.
    std::function<void(std::string& folder, const EntryDoneFn& entryDone,
                       const CancelledFn& cancelled)>
        Start;
  };

  // The file-type list's entries, in its order.
  enum FileTypes { SourceFiles = 0, HtmlFiles = 1, WordFiles = 2 };

  // `list` outlives the window; core texts are shown through `codePage` when not UTF-8.
  BatchWindow(ConversionList& list, const platform::CodePage& codePage, QWidget* parent = nullptr);
  ~BatchWindow() override;

  void SetCommands(Commands commands) { commands_ = std::move(commands); }

  // The "Save to:" text, as typed, in the file system's bytes.
  std::string OutputFolder() const;
  void SetOutputFolder(std::string_view folder);

  // Selects `folder` in the folder tree and lists its files.
  void ShowFolder(const QString& folder);
  // The folder whose files the file list shows.
  QString Folder() const { return folder_; }
  void SetFileTypes(FileTypes types);

  // The rows again from the list, after something else replaced it; reasons are dropped.
  void ShowList();

  bool Running() const { return running_; }

  // The window's commands, as its buttons and keys run them.
  void Add();
  void AddAll();
  void LoadList();
  void SaveList();
  void Delete();
  void Clear();
  void ChooseFolder();
  void Start();

  // "Cancel", Esc and closing the window: ends a running batch after the entry in progress,
  // else hides the window.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateToolBar();
  void SetUpBrowser();
  void FolderChosen(const QModelIndex& index);
  void ScrollToFolder();
  void FillFileList();
  bool AddFile(int row);
  QTreeWidgetItem* AppendRow(const std::string& entry);
  void EntryDone(size_t index, const std::string& entry, const FileOutcome& outcome);
  // The entries handled since the last call into their rows, and the progress.
  void ShowOutcomes();
  void SetRunning(bool running);
  // The full reason of the selected entry, under the list.
  void ShowReason();
  // The entry column takes its share of the list's width until the user sizes the columns.
  void SizeColumns();
  void ShowProgress(size_t done);
  QString Display(std::string_view text) const;

  std::unique_ptr<::Ui::BatchWindow> ui_;
  ConversionList& list_;
  platform::CodePage codePage_;
  Commands commands_;
  QAction* add_ = nullptr;
  QAction* addAll_ = nullptr;
  QAction* loadList_ = nullptr;
  QAction* saveList_ = nullptr;
  QAction* delete_ = nullptr;
  QAction* clear_ = nullptr;
  QFileSystemModel* folders_ = nullptr;  // made on first use: reading "/" costs time at start
  QString folder_;
  QTimer* scrollTimer_ = nullptr;
  bool followFolder_ = false;  // the tree keeps the chosen folder in sight while it fills
  bool userSizedColumns_ = false;
  bool sizingColumns_ = false;
  bool running_ = false;
  bool cancelRequested_ = false;
  // An entry handled but not yet shown: its index, new text and reason.
  struct Outcome {
    size_t Index;
    QString Text;
    QString Reason;
  };
  std::vector<Outcome> pending_;
  size_t total_ = 0;    // entries of the running batch
  size_t handled_ = 0;  // of them handled so far
  QElapsedTimer sinceShown_;
  QElapsedTimer sinceEntry_;
  bool followProgress_ = false;  // the list scrolls to the latest entry shown
};

}  // namespace batch::ui
