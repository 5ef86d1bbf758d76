#pragma once
// The modal questions the program asks: message boxes, file and folder dialogs, the book
// information dialog and the genre picker. The program shows real windows (QtModalDialogs);
// window tests script the answers with a class of their own.

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

class QWidget;

namespace fb2meta {
struct BookInfo;
}

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

 private:
  QWidget* parent_;
};

}  // namespace app::ui
