#pragma once
// "Select Images": a folder tree, the folder's picture files as a list of check marks with a
// file filter, a square preview of the highlighted file and a progress bar. "Start" hands the
// chosen folder and the ticked entries to the caller's start function; the window closes when
// that function says the work is done.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "images/ImagesTab.h"

class QFileSystemModel;
class QListWidgetItem;
class QModelIndex;

namespace Ui {
class BatchImagesWindow;
}

namespace images::ui {

class BatchImagesWindow : public QDialog {
  Q_OBJECT

 public:
  // Encodes the ticked `entries` (names relative to `folder`, in list order), telling `progress`
  // as it goes; true when done, false when nothing was done (no entry ticked, or an error).
  using StartFn =
      std::function<bool(const std::string& folder, const std::vector<BatchPictureEntry>& entries,
                         const PictureProgressFn& progress)>;

  // The filters of the file list, in the order of its list.
  enum Filter { ImagesFilter = 0, AllFilesFilter = 1 };

  explicit BatchImagesWindow(QWidget* parent = nullptr);
  ~BatchImagesWindow() override;

  void SetStart(StartFn start) { start_ = std::move(start); }

  // The folder whose files are listed, as the file system's bytes. Choosing another folder (here
  // or in the tree) or another filter lists the files afresh with every mark cleared.
  void SetFolder(const std::string& folder);
  const std::string& Folder() const { return folder_; }
  void SetFilter(Filter filter);

  // The listed files in order, with their marks.
  std::vector<BatchPictureEntry> Entries() const;
  void SetTicked(int row, bool ticked);

  // What the buttons do.
  void SelectAll();
  void UnselectAll();
  void Start();

  // True while the preview shows a picture.
  bool HasPreview() const;

 private:
  void FolderChosen(const QModelIndex& index);
  void RevealFolder(const QString& loaded);
  void FillList();
  void EntryHighlighted(QListWidgetItem* item);
  void SetAllTicks(bool ticked);
  void ShowProgress(size_t done, size_t total);

  std::unique_ptr<Ui::BatchImagesWindow> ui_;
  QFileSystemModel* folders_ = nullptr;
  std::string folder_;
  bool settingFolder_ = false;
  bool revealFolder_ = false;
  StartFn start_;
};

}  // namespace images::ui
