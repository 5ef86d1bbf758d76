#include "images/ui/BatchImagesWindow.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>
#include <filesystem>

#include "engine/TextUtil.h"
#include "ui_BatchImagesWindow.h"

namespace images::ui {
namespace {

QString FromPath(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string ToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// Every regular file of a folder, sorted by name with letter case ignored.
std::vector<std::string> ListAllFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::error_code typeError;
    if (entry.is_regular_file(typeError)) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return engine::ToLowerAscii(a) < engine::ToLowerAscii(b);
  });
  return names;
}

QImage ToImage(const Raster& raster) {
  return QImage(raster.Rgb.data(), raster.Width, raster.Height, raster.Width * 3,
                QImage::Format_RGB888)
      .copy();
}

// The file name an entry stands for, as the file system's bytes.
std::string EntryName(const QListWidgetItem& item) {
  return item.data(Qt::UserRole).toByteArray().toStdString();
}

}  // namespace

BatchImagesWindow::BatchImagesWindow(QWidget* parent)
    : QDialog(parent), ui_(new Ui::BatchImagesWindow) {
  ui_->setupUi(this);
  ui_->SelAllButton->setDefaultAction(ui_->Act_SelAll);
  ui_->UnSelAllButton->setDefaultAction(ui_->Act_UnSelAll);
  connect(ui_->ButStart, &QPushButton::clicked, ui_->Act_Start, &QAction::trigger);
  // The button stands for "Act_Start" and shows its caption.
  connect(ui_->Act_Start, &QAction::changed, ui_->ButStart,
          [this] { ui_->ButStart->setText(ui_->Act_Start->text()); });
  connect(ui_->ButCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ui_->Act_SelAll, &QAction::triggered, this, &BatchImagesWindow::SelectAll);
  connect(ui_->Act_UnSelAll, &QAction::triggered, this, &BatchImagesWindow::UnselectAll);
  connect(ui_->Act_Start, &QAction::triggered, this, &BatchImagesWindow::Start);

  // Folders only, from the root down; there are no drives to choose between.
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  folders_->setRootPath(QDir::rootPath());
  ui_->DirectoryTree->setModel(folders_);
  for (int column = 1; column < folders_->columnCount(); ++column)
    ui_->DirectoryTree->hideColumn(column);
  connect(ui_->DirectoryTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { FolderChosen(current); });
  // The tree fills in the background: the folder set by SetFolder is scrolled into view as its
  // ancestors arrive, until the user moves about in the tree.
  connect(folders_, &QFileSystemModel::directoryLoaded, this,
          [this](const QString& path) { RevealFolder(path); });
  connect(ui_->DirectoryTree->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this] { revealFolder_ = false; });
  connect(ui_->DirectoryTree, &QTreeView::collapsed, this, [this] { revealFolder_ = false; });
  connect(ui_->FilterComboBox1, &QComboBox::currentIndexChanged, this, [this] { FillList(); });
  connect(ui_->CheckListBox1, &QListWidget::currentItemChanged, this,
          [this](QListWidgetItem* current) { EntryHighlighted(current); });

  SetFolder(ToPath(QDir::homePath()));
}

BatchImagesWindow::~BatchImagesWindow() = default;

void BatchImagesWindow::SetFolder(const std::string& folder) {
  const QModelIndex index = folders_->index(FromPath(folder));
  if (!index.isValid()) {
    folder_ = folder;
    FillList();
    return;
  }
  for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
    ui_->DirectoryTree->expand(parent);
  ui_->DirectoryTree->expand(index);
  settingFolder_ = true;
  if (ui_->DirectoryTree->currentIndex() == index) {
    FolderChosen(index);
  } else {
    ui_->DirectoryTree->setCurrentIndex(index);  // FolderChosen follows
  }
  settingFolder_ = false;
  revealFolder_ = true;
  ui_->DirectoryTree->scrollTo(index);
}

void BatchImagesWindow::FolderChosen(const QModelIndex& index) {
  if (!index.isValid()) return;
  if (!settingFolder_) revealFolder_ = false;
  folder_ = ToPath(folders_->filePath(index));
  FillList();
}

void BatchImagesWindow::RevealFolder(const QString& loaded) {
  if (!revealFolder_) return;
  const QString folder = FromPath(folder_);
  const bool ancestor =
      folder == loaded || folder.startsWith(loaded.endsWith('/') ? loaded : loaded + '/');
  if (ancestor) ui_->DirectoryTree->scrollTo(ui_->DirectoryTree->currentIndex());
}

void BatchImagesWindow::SetFilter(Filter filter) {
  ui_->FilterComboBox1->setCurrentIndex(filter);
}

void BatchImagesWindow::FillList() {
  ui_->DirLabel->setText(FromPath(folder_));
  QListWidget& list = *ui_->CheckListBox1;
  list.clear();
  const std::vector<std::string> names = ui_->FilterComboBox1->currentIndex() == AllFilesFilter
                                             ? ListAllFiles(folder_)
                                             : ListBatchPictures(folder_);
  for (const std::string& name : names) {
    auto* item = new QListWidgetItem(FromPath(name), &list);
    item->setData(Qt::UserRole, QByteArray::fromStdString(name));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
}

std::vector<BatchPictureEntry> BatchImagesWindow::Entries() const {
  std::vector<BatchPictureEntry> entries;
  const QListWidget& list = *ui_->CheckListBox1;
  for (int row = 0; row < list.count(); ++row) {
    const QListWidgetItem& item = *list.item(row);
    entries.push_back({EntryName(item), item.checkState() == Qt::Checked});
  }
  return entries;
}

void BatchImagesWindow::SetTicked(int row, bool ticked) {
  if (QListWidgetItem* item = ui_->CheckListBox1->item(row))
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void BatchImagesWindow::SetAllTicks(bool ticked) {
  for (int row = 0; row < ui_->CheckListBox1->count(); ++row) SetTicked(row, ticked);
}

void BatchImagesWindow::SelectAll() {
  SetAllTicks(true);
}

void BatchImagesWindow::UnselectAll() {
  SetAllTicks(false);
}

void BatchImagesWindow::ShowProgress(size_t done, size_t total) {
  QProgressBar& bar = *ui_->ProgressBar1;
  bar.setMaximum(static_cast<int>(std::max<size_t>(total, 1)));
  bar.setValue(static_cast<int>(done));
  if (bar.isVisible()) bar.repaint();
}

void BatchImagesWindow::Start() {
  if (!start_) return;
  const bool finished =
      start_(folder_, Entries(), [this](size_t done, size_t total) { ShowProgress(done, total); });
  if (finished) accept();
}

void BatchImagesWindow::EntryHighlighted(QListWidgetItem* item) {
  if (!item) return;
  const std::string name = EntryName(*item);
  if (!CanPreview(name)) return;
  std::string path = folder_;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  const std::optional<Raster> picture = LoadPreview(path);
  if (!picture) {
    ui_->Image1->clear();
    return;
  }
  // Scaled to fill the square one way, proportions kept.
  const QImage image = ToImage(*picture).scaled(ui_->Image1->contentsRect().size(),
                                                Qt::KeepAspectRatio, Qt::SmoothTransformation);
  ui_->Image1->setPixmap(QPixmap::fromImage(image));
}

bool BatchImagesWindow::HasPreview() const {
  return !ui_->Image1->pixmap().isNull();
}

}  // namespace images::ui
