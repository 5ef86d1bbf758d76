#include "app/ui/ModalDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/UserInterface.h"
#include "fb2meta/ui/BookInfoDialog.h"
#include "fb2meta/ui/GenrePicker.h"
#include "platform/CodePage.h"

namespace app::ui {

void QtModalDialogs::Message(const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent_);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  box.exec();
}

QString QtModalDialogs::OpenFile(const QString& title, const QStringList& filters,
                                 const QString& initialPath) {
  QFileDialog dialog(parent_, title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (!initialPath.isEmpty()) {
    const QFileInfo initial(initialPath);
    dialog.setDirectory(initial.absolutePath());
    if (initial.isFile()) dialog.selectFile(initial.fileName());
  }
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
             ? dialog.selectedFiles().first()
             : QString();
}

QString QtModalDialogs::SaveFile(const QString& title, const QStringList& filters,
                                 const QString& proposedPath, const QString& defaultSuffix) {
  QFileDialog dialog(parent_, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setDefaultSuffix(defaultSuffix);
  if (!proposedPath.isEmpty()) {
    const QFileInfo proposed(proposedPath);
    if (proposed.path() != QStringLiteral(".")) dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
  }
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
             ? dialog.selectedFiles().first()
             : QString();
}

QString QtModalDialogs::Folder(const QString& title, const QString& initialPath) {
  return QFileDialog::getExistingDirectory(parent_, title, initialPath);
}

bool QtModalDialogs::EditBookInfo(fb2meta::BookInfo& info) {
  if (!bookInfo_) {
    fb2meta::ui::BookInfoDialogHooks hooks;
    hooks.PickGenres = [this](std::string_view genres) { return PickGenres(genres); };
    hooks.PickCoverFile = [this](const QString& title, const QStringList& filters,
                                 const QString& initialPath) {
      return OpenFile(title, filters, initialPath);
    };
    hooks.ShowMessage = [this](const QString& text) {
      Message(QString::fromUtf8(kProgramName.data(), static_cast<qsizetype>(kProgramName.size())),
              text);
    };
    const int codePage = textCodePage_ ? textCodePage_ : platform::SystemCodePageNumber();
    bookInfo_ = new fb2meta::ui::BookInfoDialog(std::move(hooks), codePage, parent_);
    if (WindowMade) WindowMade(*bookInfo_);
  }
  return bookInfo_->Edit(info);
}

void QtModalDialogs::SetTextCodePage(int codePage) {
  textCodePage_ = codePage;
  if (bookInfo_) bookInfo_->SetTextCodePage(codePage);
}

std::string QtModalDialogs::PickGenres(std::string_view genres) {
  if (!genrePicker_) {
    GenreSource source = Genres ? Genres() : GenreSource{};
    QHash<QString, QString> names;
    if (!source.ProgramFolder.isEmpty())
      names = fb2meta::ui::ReadGenreNames(fb2meta::ui::GenreSchemaPath(source.ProgramFolder));
    genrePicker_ = new fb2meta::ui::GenrePickerDialog(std::move(source.Entries), std::move(names),
                                                      platform::SystemCodePageNumber(), parent_);
    if (WindowMade) WindowMade(*genrePicker_);
  }
  return genrePicker_->Pick(genres).value_or(std::string(genres));
}

}  // namespace app::ui
