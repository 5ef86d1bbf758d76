#include "batch/ui/BatchWindow.h"

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeySequence>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

#include "app/ui/QtText.h"
#include "ui_BatchWindow.h"

namespace batch::ui {
namespace {

// The file-type list: caption and patterns, in the order of FileTypes.
struct FileTypeEntry {
  const char* Caption;
  const char* Patterns;
};
constexpr FileTypeEntry kFileTypes[] = {
    {"Source files (*.doc;*.docx;*rtf;*.htm;*.html)", "*.doc;*.docx;*rtf;*.htm;*.html"},
    {"html files", "*.htm;*.html"},
    {"MS Word files (*.doc;*.docx;*rtf)", "*.doc;*.docx;*rtf"},
};

// How long the folder tree must be quiet before it is scrolled to the chosen folder.
constexpr int kScrollSettleMs = 30;

// How often the rows and the progress are redrawn while a batch runs.
constexpr qint64 kRefreshMs = 50;

// The share of the list's width the entry column takes; the reason column has the rest.
constexpr double kEntryColumnShare = 0.62;

}  // namespace

BatchWindow::BatchWindow(ConversionList& list, const platform::CodePage& codePage, QWidget* parent)
    : QDialog(parent), ui_(new ::Ui::BatchWindow), list_(list), codePage_(codePage) {
  ui_->setupUi(this);
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  ui_->Splitter1->setStretchFactor(0, 4);
  ui_->Splitter1->setStretchFactor(1, 5);
  ui_->Splitter2->setStretchFactor(0, 1);
  ui_->Splitter2->setStretchFactor(1, 1);
  ui_->ListBox1->header()->setStretchLastSection(true);
  ui_->ListBox1->viewport()->installEventFilter(this);
  // The reason column stretches by itself; only the entry column is sized by hand.
  connect(ui_->ListBox1->header(), &QHeaderView::sectionResized, this, [this](int column) {
    if (column == 0 && !sizingColumns_) userSizedColumns_ = true;
  });
  connect(ui_->ListBox1, &QTreeWidget::currentItemChanged, this, [this] {
    if (running_) followProgress_ = false;
    ShowReason();
  });
  connect(ui_->ListBox1->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] {
    if (running_) followProgress_ = false;
  });

  QComboBox* types = ui_->FilterComboBox1;
  for (const FileTypeEntry& entry : kFileTypes)
    types->addItem(QString::fromLatin1(entry.Caption), QString::fromLatin1(entry.Patterns));
  // The drop-down and the tooltip show the file types in full, however narrow the box is.
  types->view()->setMinimumWidth(types->view()->sizeHintForColumn(0) +
                                 2 * types->view()->frameWidth());
  types->setToolTip(types->currentText());
  connect(types, &QComboBox::currentIndexChanged, this, [this, types] {
    types->setToolTip(types->currentText());
    FillFileList();
  });
  CreateToolBar();

  connect(ui_->FileListBox1, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    ui_->FileListBox1->setCurrentItem(item);
    Add();
  });
  connect(ui_->SpeedButton1, &QToolButton::clicked, this, &BatchWindow::ChooseFolder);
  connect(ui_->ButStart, &QPushButton::clicked, this, &BatchWindow::Start);
  connect(ui_->ButCancel, &QPushButton::clicked, this, &BatchWindow::reject);
  ShowList();
}

BatchWindow::~BatchWindow() = default;

void BatchWindow::CreateToolBar() {
  // Buttons in a row rather than a QToolBar: a toolbar hides what does not fit behind a menu,
  // the row keeps all six in sight and makes the list's side at least that wide.
  QHBoxLayout* row = ui_->toolBarLayout;
  const auto command = [this, row](const char* name, const char* hint,
                                   void (BatchWindow::*slot)()) {
    auto* action = new QAction(QString::fromLatin1(hint), this);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(QString::fromLatin1(hint));
    connect(action, &QAction::triggered, this, slot);
    auto* button = new QToolButton(ui_->ToolBar1);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::TabFocus);
    row->addWidget(button);
    return action;
  };
  constexpr int kGroupGap = 6;
  add_ = command("TBAdd", "Add", &BatchWindow::Add);
  addAll_ = command("TBAddAll", "Add All", &BatchWindow::AddAll);
  row->addSpacing(kGroupGap);
  loadList_ = command("TBLoadFile", "Load file", &BatchWindow::LoadList);
  saveList_ = command("TBSaveFile", "Save file", &BatchWindow::SaveList);
  row->addSpacing(kGroupGap);
  delete_ = command("TBDelete", "Delete", &BatchWindow::Delete);
  clear_ = command("TBClear", "Clear", &BatchWindow::Clear);
  row->addStretch(1);
  // The Delete key removes the selected entry while the list has the focus.
  delete_->setShortcut(QKeySequence::Delete);
  delete_->setShortcutContext(Qt::WidgetShortcut);
  ui_->ListBox1->addAction(delete_);
}

QString BatchWindow::Display(std::string_view text) const {
  return app::ui::FromCore(text, codePage_);
}

std::string BatchWindow::OutputFolder() const {
  return app::ui::ToCorePath(ui_->EPath->text());
}

void BatchWindow::SetOutputFolder(std::string_view folder) {
  const QString text = app::ui::FromCorePath(folder);
  if (text != ui_->EPath->text()) ui_->EPath->setText(text);
}

// --- The folder browser

void BatchWindow::SetUpBrowser() {
  if (folders_) return;
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  folders_->setRootPath(QStringLiteral("/"));
  ui_->DirectoryListBox1->setModel(folders_);
  for (int column = 1; column < folders_->columnCount(); ++column)
    ui_->DirectoryListBox1->hideColumn(column);
  connect(ui_->DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &BatchWindow::FolderChosen);
  // The tree fills in the background: folders arriving (and sorted) above the chosen one push
  // it down, so the view follows it, once the tree is quiet, until the user takes over.
  scrollTimer_ = new QTimer(this);
  scrollTimer_->setSingleShot(true);
  scrollTimer_->setInterval(kScrollSettleMs);
  connect(scrollTimer_, &QTimer::timeout, this, &BatchWindow::ScrollToFolder);
  const auto follow = [this] {
    if (followFolder_) scrollTimer_->start();
  };
  connect(folders_, &QFileSystemModel::rowsInserted, this, follow);
  connect(folders_, &QFileSystemModel::layoutChanged, this, follow);
  connect(ui_->DirectoryListBox1->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this] { followFolder_ = false; });
}

void BatchWindow::ScrollToFolder() {
  const QModelIndex current = ui_->DirectoryListBox1->currentIndex();
  if (current.isValid())
    ui_->DirectoryListBox1->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

void BatchWindow::ShowFolder(const QString& folder) {
  SetUpBrowser();
  const QModelIndex index = folders_->index(folder);
  if (index.isValid()) {
    const QSignalBlocker quiet(ui_->DirectoryListBox1->selectionModel());
    ui_->DirectoryListBox1->setCurrentIndex(index);
    ui_->DirectoryListBox1->scrollTo(index);  // opens the folders above it
    ui_->DirectoryListBox1->expand(index);
  }
  folder_ = QDir(folder).absolutePath();
  followFolder_ = true;
  scrollTimer_->start();
  FillFileList();
}

void BatchWindow::FolderChosen(const QModelIndex& index) {
  if (!index.isValid()) return;
  followFolder_ = false;
  folder_ = folders_->filePath(index);
  FillFileList();
}

void BatchWindow::SetFileTypes(FileTypes types) {
  ui_->FilterComboBox1->setCurrentIndex(types);
}

void BatchWindow::FillFileList() {
  QListWidget* files = ui_->FileListBox1;
  files->clear();
  if (folder_.isEmpty()) return;
  const QStringList patterns =
      ui_->FilterComboBox1->currentData().toString().split(';', Qt::SkipEmptyParts);
  const QFileInfoList found =
      QDir(folder_).entryInfoList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& file : found) {
    auto* item = new QListWidgetItem(file.fileName(), files);
    item->setData(Qt::UserRole, file.absoluteFilePath());
  }
}

// --- The conversion list

QTreeWidgetItem* BatchWindow::AppendRow(const std::string& entry) {
  auto* item = new QTreeWidgetItem(ui_->ListBox1);
  item->setText(0, Display(entry));
  item->setToolTip(0, item->text(0));
  return item;
}

void BatchWindow::ShowList() {
  QTreeWidget* rows = ui_->ListBox1;
  const std::vector<std::string>& entries = list_.Entries();
  while (rows->topLevelItemCount() > static_cast<int>(entries.size()))
    delete rows->takeTopLevelItem(rows->topLevelItemCount() - 1);
  for (size_t i = 0; i < entries.size(); ++i) {
    QTreeWidgetItem* item = rows->topLevelItem(static_cast<int>(i));
    if (!item) {
      AppendRow(entries[i]);
      continue;
    }
    // A row whose entry is unchanged keeps its reason.
    const QString text = Display(entries[i]);
    if (item->text(0) == text) continue;
    item->setText(0, text);
    item->setToolTip(0, text);
    item->setText(1, QString());
    item->setToolTip(1, QString());
  }
  ShowReason();
}

bool BatchWindow::AddFile(int row) {
  const QListWidgetItem* file = ui_->FileListBox1->item(row);
  if (!file) return false;
  const std::string path = app::ui::ToCorePath(file->data(Qt::UserRole).toString());
  if (!list_.Add(path)) return false;
  AppendRow(path);
  return true;
}

void BatchWindow::Add() {
  if (running_) return;
  const QListWidgetItem* file = ui_->FileListBox1->currentItem();
  if (!file || !file->isSelected()) return;
  AddFile(ui_->FileListBox1->row(file));
}

void BatchWindow::AddAll() {
  if (running_) return;
  QListWidget* files = ui_->FileListBox1;
  for (int row = 0; row < files->count(); ++row) AddFile(row);
  if (files->count() > 0) files->setCurrentRow(files->count() - 1);
}

void BatchWindow::LoadList() {
  if (running_ || !commands_.LoadList) return;
  commands_.LoadList();
  ShowList();
}

void BatchWindow::SaveList() {
  if (running_ || !commands_.SaveList) return;
  commands_.SaveList();
}

void BatchWindow::Delete() {
  if (running_) return;
  QTreeWidget* rows = ui_->ListBox1;
  QTreeWidgetItem* item = rows->currentItem();
  if (!item || !item->isSelected()) return;
  const int row = rows->indexOfTopLevelItem(item);
  list_.Delete(static_cast<size_t>(row));
  delete rows->takeTopLevelItem(row);
  // The next entry is selected, so that Delete can be pressed again.
  if (rows->topLevelItemCount() > 0)
    rows->setCurrentItem(rows->topLevelItem(std::min(row, rows->topLevelItemCount() - 1)));
}

void BatchWindow::Clear() {
  if (running_) return;
  list_.Clear();
  ui_->ListBox1->clear();
  ui_->ReasonLabel->clear();
  ui_->ProgressBar1->reset();
  ui_->ProgressLabel->clear();
}

void BatchWindow::ChooseFolder() {
  if (running_ || !commands_.AskFolder) return;
  std::string chosen = commands_.AskFolder();
  if (chosen.empty()) return;
  if (chosen.back() != '/') chosen += '/';
  SetOutputFolder(chosen);
}

// --- The batch

void BatchWindow::Start() {
  if (running_ || !commands_.Start) return;
  if (list_.Empty()) return;  // not even the folder check
  total_ = list_.Entries().size();
  handled_ = 0;
  pending_.clear();
  cancelRequested_ = false;
  ShowProgress(0);
  ui_->ListBox1->setCurrentItem(ui_->ListBox1->topLevelItem(0));
  followProgress_ = true;
  sinceShown_.start();
  sinceEntry_.start();
  std::string folder = OutputFolder();
  {
    // Whatever way the batch ends, the window's commands come back.
    struct RunningScope {
      explicit RunningScope(BatchWindow& owner) : window(owner) { window.SetRunning(true); }
      ~RunningScope() { window.SetRunning(false); }
      RunningScope(const RunningScope&) = delete;
      RunningScope& operator=(const RunningScope&) = delete;
      BatchWindow& window;
    } running(*this);
    commands_.Start(
        folder,
        [this](size_t index, const std::string& entry, const FileOutcome& outcome) {
          EntryDone(index, entry, outcome);
        },
        [this] { return cancelRequested_; });
  }
  ShowOutcomes();
  SetOutputFolder(folder);  // the batch's folder dialog may have chosen one
  ShowList();
  if (cancelRequested_ && handled_ < total_) {
    ui_->ProgressLabel->setText(QStringLiteral("%1 of %2, cancelled").arg(handled_).arg(total_));
  } else if (handled_ == 0) {
    // Stopped before the first entry: no folder to write into.
    ui_->ProgressBar1->reset();
    ui_->ProgressLabel->clear();
  }
}

void BatchWindow::EntryDone(size_t index, const std::string& entry, const FileOutcome& outcome) {
  QString reason;
  if (!outcome.Done)
    reason = outcome.Reason.empty() ? QStringLiteral("Conversion failed") : Display(outcome.Reason);
  pending_.push_back({index, Display(entry), std::move(reason)});
  handled_ = index + 1;
  // Drawing a row costs more than converting a small book: the rows and the progress are
  // brought up to date every kRefreshMs, and after every entry that took that long by itself.
  const bool slowEntry = sinceEntry_.restart() >= kRefreshMs;
  if (slowEntry || sinceShown_.elapsed() >= kRefreshMs) ShowOutcomes();
  // Everything pending runs here, the user's input included: the window repaints and "Cancel"
  // is seen before the next entry. The commands that would change the list are disabled. Input
  // that arrived while the busy indication let only other events run waits for the event
  // dispatcher to be woken again (so with the GLib one): waking it lets this pass take it.
  QAbstractEventDispatcher::instance()->wakeUp();
  QApplication::processEvents(QEventLoop::AllEvents);
}

void BatchWindow::ShowOutcomes() {
  QTreeWidget* rows = ui_->ListBox1;
  QTreeWidgetItem* last = nullptr;
  for (const Outcome& outcome : pending_) {
    QTreeWidgetItem* item = rows->topLevelItem(static_cast<int>(outcome.Index));
    if (!item) continue;
    item->setText(0, outcome.Text);
    item->setText(1, outcome.Reason);
    item->setToolTip(
        0, outcome.Reason.isEmpty() ? outcome.Text : outcome.Text + '\n' + outcome.Reason);
    item->setToolTip(1, outcome.Reason);
    last = item;
  }
  pending_.clear();
  // The view follows the batch until the user moves in the list.
  if (last && followProgress_) rows->scrollToItem(last);
  ShowReason();
  ShowProgress(handled_);
  sinceShown_.restart();
}

void BatchWindow::ShowReason() {
  const QTreeWidgetItem* item = ui_->ListBox1->currentItem();
  ui_->ReasonLabel->setText(item ? item->text(1) : QString());
}

void BatchWindow::SizeColumns() {
  if (userSizedColumns_) return;
  sizingColumns_ = true;
  ui_->ListBox1->header()->resizeSection(
      0, static_cast<int>(ui_->ListBox1->viewport()->width() * kEntryColumnShare));
  sizingColumns_ = false;
}

bool BatchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->ListBox1->viewport() && event->type() == QEvent::Resize) SizeColumns();
  return QDialog::eventFilter(watched, event);
}

void BatchWindow::ShowProgress(size_t done) {
  ui_->ProgressBar1->setRange(0, static_cast<int>(total_));
  ui_->ProgressBar1->setValue(static_cast<int>(done));
  ui_->ProgressLabel->setText(QStringLiteral("%1 of %2").arg(done).arg(total_));
}

void BatchWindow::SetRunning(bool running) {
  running_ = running;
  for (QAction* action : {add_, addAll_, loadList_, saveList_, delete_, clear_})
    action->setEnabled(!running);
  ui_->ButStart->setEnabled(!running);
  ui_->SpeedButton1->setEnabled(!running);
  ui_->EPath->setReadOnly(running);
}

void BatchWindow::reject() {
  if (running_) {
    if (!cancelRequested_)
      ui_->ProgressLabel->setText(ui_->ProgressLabel->text() + QStringLiteral(", stopping"));
    cancelRequested_ = true;
    return;
  }
  QDialog::reject();
}

void BatchWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  if (folder_.isEmpty()) {
    ShowFolder(QDir::homePath());
  } else {
    FillFileList();  // the folder's files may have changed since
  }
  // Once the tree has its size: the chosen folder in sight.
  if (scrollTimer_) scrollTimer_->start();
}

}  // namespace batch::ui
