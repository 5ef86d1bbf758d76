#include "app/ui/QtUserInterface.h"

#include <QApplication>
#include <QEventLoop>
#include <QString>
#include <QStringList>

#include "app/ui/MainWindow.h"
#include "app/ui/ModalDialogs.h"
#include "app/ui/QtText.h"

namespace app::ui {
namespace {

// "Caption" with "*.a;*.b" becomes "Caption (*.a *.b)"; the dialogs hide the added part, so the
// caption shows as it is written.
QStringList QtFilters(const std::vector<FileFilter>& filters) {
  QStringList list;
  for (const FileFilter& filter : filters) {
    const QString patterns = QString::fromStdString(filter.Patterns).replace(';', ' ');
    list << QString::fromStdString(filter.Caption) + " (" + patterns.simplified() + ")";
  }
  return list;
}

// Repaints and finishes pending work without taking the user's input: a command in progress is
// never entered a second time.
void LetPendingWorkRun() {
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

QtUserInterface::QtUserInterface(MainWindow& window, ModalDialogs& dialogs, int codePage)
    : window_(window), dialogs_(dialogs), codePage_(codePage) {}

QString QtUserInterface::Display(std::string_view text) const {
  return FromCore(text, codePage_);
}

void QtUserInterface::ShowMessage(std::string_view caption, std::string_view text) {
  dialogs_.Message(Display(caption), Display(text));
}

std::string QtUserInterface::AskOpenFile(std::string_view title,
                                         const std::vector<FileFilter>& filters,
                                         std::string_view initialPath) {
  return ToCorePath(
      dialogs_.OpenFile(Display(title), QtFilters(filters), FromCorePath(initialPath)));
}

std::string QtUserInterface::AskSaveFile(std::string_view title,
                                         const std::vector<FileFilter>& filters,
                                         std::string_view proposedPath,
                                         std::string_view defaultExtension) {
  return ToCorePath(dialogs_.SaveFile(Display(title), QtFilters(filters),
                                      FromCorePath(proposedPath), Display(defaultExtension)));
}

std::string QtUserInterface::AskFolder(std::string_view title, std::string_view initialPath) {
  return ToCorePath(dialogs_.Folder(Display(title), FromCorePath(initialPath)));
}

bool QtUserInterface::EditBookInfo(fb2meta::BookInfo& info) {
  return dialogs_.EditBookInfo(info);
}

std::string QtUserInterface::PickGenres(std::string_view genres) {
  return dialogs_.PickGenres(genres);
}

void QtUserInterface::SetBusy(bool busy) {
  if (busy) {
    LetPendingWorkRun();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    LetPendingWorkRun();
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtUserInterface::ShowProgress(size_t, size_t) {
  LetPendingWorkRun();
}

void QtUserInterface::SetStatus(int panel, std::string_view text) {
  window_.SetStatusText(panel, Display(text));
}

void QtUserInterface::SetCaption(std::string_view caption) {
  window_.setWindowTitle(Display(caption));
}

void QtUserInterface::ShowPage(int page) {
  window_.ShowPage(page);
}

void QtUserInterface::ShowFindDialog() {
  window_.ShowFindDialog();
}

void QtUserInterface::ShowReplaceDialog() {
  window_.ShowReplaceDialog();
}

}  // namespace app::ui
