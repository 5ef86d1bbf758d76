#include "support/FakeUserInterface.h"

namespace testsupport {
namespace {

std::string Take(std::deque<std::string>& queue) {
  if (queue.empty()) return {};
  std::string answer = std::move(queue.front());
  queue.pop_front();
  return answer;
}

}  // namespace

size_t FakeUserInterface::PendingAnswers() const {
  return openAnswers_.size() + saveAnswers_.size() + folderAnswers_.size() +
         bookInfoAnswers_.size() + genreAnswers_.size();
}

std::string FakeUserInterface::StatusText(int panel) const {
  auto it = Status.find(panel);
  return it == Status.end() ? std::string() : it->second;
}

std::vector<std::string> FakeUserInterface::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Message& m : Messages) texts.push_back(m.Text);
  return texts;
}

void FakeUserInterface::ShowMessage(std::string_view caption, std::string_view text) {
  Messages.push_back({std::string(caption), std::string(text)});
}

std::string FakeUserInterface::AskOpenFile(std::string_view title,
                                           const std::vector<app::FileFilter>& filters,
                                           std::string_view initialPath) {
  std::string answer = Take(openAnswers_);
  Dialogs.push_back(
      {DialogKind::Open, std::string(title), filters, std::string(initialPath), {}, answer});
  return answer;
}

std::string FakeUserInterface::AskSaveFile(std::string_view title,
                                           const std::vector<app::FileFilter>& filters,
                                           std::string_view proposedPath,
                                           std::string_view defaultExtension) {
  std::string answer = Take(saveAnswers_);
  Dialogs.push_back({DialogKind::Save, std::string(title), filters, std::string(proposedPath),
                     std::string(defaultExtension), answer});
  return answer;
}

std::string FakeUserInterface::AskFolder(std::string_view title, std::string_view initialPath) {
  std::string answer = Take(folderAnswers_);
  Dialogs.push_back(
      {DialogKind::Folder, std::string(title), {}, std::string(initialPath), {}, answer});
  return answer;
}

bool FakeUserInterface::EditBookInfo(fb2meta::BookInfo& info) {
  BookInfoShown.push_back(info);
  if (bookInfoAnswers_.empty()) return true;
  BookInfoAnswer answer = std::move(bookInfoAnswers_.front());
  bookInfoAnswers_.pop_front();
  return answer(info);
}

std::string FakeUserInterface::PickGenres(std::string_view genres) {
  GenresShown.emplace_back(genres);
  if (genreAnswers_.empty()) return std::string(genres);
  return Take(genreAnswers_);
}

void FakeUserInterface::SetBusy(bool busy) {
  Busy = busy;
  if (busy) ++BusyCalls;
}

void FakeUserInterface::ShowProgress(size_t done, size_t total) {
  Progress.emplace_back(done, total);
}

void FakeUserInterface::SetStatus(int panel, std::string_view text) {
  Status[panel] = std::string(text);
  StatusHistory.emplace_back(panel, std::string(text));
}

void FakeUserInterface::SetCaption(std::string_view caption) {
  Caption = std::string(caption);
  Captions.push_back(Caption);
}

void FakeUserInterface::ShowPage(int page) {
  Pages.push_back(page);
}

}  // namespace testsupport
