#pragma once
// The modal questions the program asks: message boxes, file and folder dialogs, the book
// information dialog and the genre picker. The program shows real windows (QtModalDialogs);
// window tests script the answers with a class of their own.

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace fb2meta {
struct BookInfo;
}
namespace fb2meta::ui {
class BookInfoDialog;
class GenrePickerDialog;
}  // namespace fb2meta::ui

namespace app::ui {

class ModalDialogs {
 public:
  virtual ~ModalDialogs() = default;

  virtual void Message(const QString& caption, const QString& text) = 0;
  // `filters` in Qt's form ("Caption (*.a *.b)"); the chosen path, or empty when cancelled.
  virtual QString OpenFile(const QString& title, const QStringList& filters,
                           const QString& initialPath) = 0;
  virtual QString SaveFile(const QString& title, const QStringList& filters,
                           const QString& proposedPath, const QString& defaultSuffix) = 0;
  virtual QString Folder(const QString& title, const QString& initialPath) = 0;
  // Edits `info`; true for "Ok".
  virtual bool EditBookInfo(fb2meta::BookInfo& info) = 0;
  virtual std::string PickGenres(std::string_view genres) = 0;
  // The code page text boxes show and take their bytes in: that of the character set the main
  // window applies.
  virtual void SetTextCodePage(int) {}
};

// What the genre picker offers: the genre file's entries (8-bit text in the system code page)
// and the program folder whose schema gives the codes readable names.
struct GenreSource {
  std::vector<std::string> Entries;
  QString ProgramFolder;
};

// The real windows, parented to `parent`.
class QtModalDialogs : public ModalDialogs {
 public:
  explicit QtModalDialogs(QWidget* parent) : parent_(parent) {}

  void Message(const QString& caption, const QString& text) override;
  QString OpenFile(const QString& title, const QStringList& filters,
                   const QString& initialPath) override;
  QString SaveFile(const QString& title, const QStringList& filters, const QString& proposedPath,
                   const QString& defaultSuffix) override;
  QString Folder(const QString& title, const QString& initialPath) override;
  bool EditBookInfo(fb2meta::BookInfo& info) override;
  std::string PickGenres(std::string_view genres) override;

  // The book information dialog's boxes; the system code page until told.
  void SetTextCodePage(int codePage) override;

  // Asked once, when the genre picker is first needed (the picker is then kept for the run);
  // without it the picker offers nothing.
  std::function<GenreSource()> Genres;
  // Told of the book information dialog and the genre picker when they are made, so that they
  // get the interface language in force.
  std::function<void(QWidget& window)> WindowMade;

 private:
  QWidget* parent_;
  int textCodePage_ = 0;                                   // 0: the system code page
  fb2meta::ui::BookInfoDialog* bookInfo_ = nullptr;        // created once, owned by parent_
  fb2meta::ui::GenrePickerDialog* genrePicker_ = nullptr;  // owned by parent_
};

}  // namespace app::ui
