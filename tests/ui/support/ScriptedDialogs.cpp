#include "ui/support/ScriptedDialogs.h"

namespace testsupport {

QStringList ScriptedDialogs::MessageTexts() const {
  QStringList texts;
  for (const Shown& message : Messages) texts << message.Text;
  return texts;
}

QString ScriptedDialogs::Next(std::deque<QString>& answers) {
  if (answers.empty()) return {};
  QString answer = answers.front();
  answers.pop_front();
  return answer;
}

void ScriptedDialogs::Message(const QString& caption, const QString& text) {
  Messages.push_back({caption, text});
}

QString ScriptedDialogs::OpenFile(const QString& title, const QStringList& filters,
                                  const QString& initialPath) {
  Dialogs.push_back({Kind::Open, title, filters, initialPath, {}});
  return Next(OpenAnswers);
}

QString ScriptedDialogs::SaveFile(const QString& title, const QStringList& filters,
                                  const QString& proposedPath, const QString& defaultSuffix) {
  Dialogs.push_back({Kind::Save, title, filters, proposedPath, defaultSuffix});
  return Next(SaveAnswers);
}

QString ScriptedDialogs::Folder(const QString& title, const QString& initialPath) {
  Dialogs.push_back({Kind::Folder, title, {}, initialPath, {}});
  return Next(FolderAnswers);
}

bool ScriptedDialogs::EditBookInfo(fb2meta::BookInfo& info) {
  ++BookDialogs;
  if (BookAnswers.empty()) return true;
  auto answer = std::move(BookAnswers.front());
  BookAnswers.pop_front();
  return answer(info);
}

}  // namespace testsupport
