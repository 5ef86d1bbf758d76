#pragma once
// ModalDialogs for window tests: records every question and message, and answers from queues
// the test fills beforehand. Unscripted file and folder dialogs are cancelled; the book
// information dialog closes with "Ok" unchanged unless a book answer is queued.

#include <QString>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/ui/ModalDialogs.h"

namespace testsupport {

class ScriptedDialogs : public app::ui::ModalDialogs {
 public:
  enum class Kind { Open, Save, Folder };
  struct Asked {
    Kind DialogKind;
    QString Title;
    QStringList Filters;
    QString InitialPath;
    QString DefaultSuffix;
  };
  struct Shown {
    QString Caption;
    QString Text;
  };

  std::deque<QString> OpenAnswers;
  std::deque<QString> SaveAnswers;
  std::deque<QString> FolderAnswers;
  std::deque<std::function<bool(fb2meta::BookInfo&)>> BookAnswers;

  std::vector<Asked> Dialogs;
  std::vector<Shown> Messages;
  int BookDialogs = 0;

  QStringList MessageTexts() const;

  void Message(const QString& caption, const QString& text) override;
  QString OpenFile(const QString& title, const QStringList& filters,
                   const QString& initialPath) override;
  QString SaveFile(const QString& title, const QStringList& filters, const QString& proposedPath,
                   const QString& defaultSuffix) override;
  QString Folder(const QString& title, const QString& initialPath) override;
  bool EditBookInfo(fb2meta::BookInfo& info) override;
  std::string PickGenres(std::string_view genres) override { return std::string(genres); }

 private:
  static QString Next(std::deque<QString>& answers);
};

}  // namespace testsupport
