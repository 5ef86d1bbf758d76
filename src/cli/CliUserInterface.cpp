#include "cli/CliUserInterface.h"

#include <iostream>

namespace cli {

fb2meta::PersonName ParseAuthor(std::string_view text) {
  fb2meta::PersonName name;
  std::string* parts[] = {&name.FirstName, &name.MiddleName, &name.LastName};
  size_t part = 0;
  for (char c : text) {
    if (c == '|' && part < 2) {
      ++part;
      continue;
    }
    parts[part]->push_back(c);
  }
  return name;
}

void CliUserInterface::ShowMessage(std::string_view caption, std::string_view text) {
  std::string line(caption);
  if (!caption.empty() && !text.empty()) line += ": ";
  line += text;
  std::cerr << "vellumor-cli: " << line << "\n";
  Messages.push_back(std::move(line));
}

bool CliUserInterface::EditBookInfo(fb2meta::BookInfo& info) {
  const BookInfoAnswers& a = Answers;
  if (a.Title) info.BookTitle = *a.Title;
  for (size_t i = 0; i < a.Authors.size() && i < info.Authors.size(); ++i)
    info.Authors[i] = a.Authors[i];
  if (!a.Genres.empty()) {
    info.Genres.clear();
    for (const std::string& genre : a.Genres) {
      if (!info.Genres.empty()) info.Genres += "; ";
      info.Genres += genre;
    }
  }
  if (a.Language) info.Language = *a.Language;
  if (a.CoverImagePath) info.CoverImagePath = *a.CoverImagePath;
  if (a.Date) info.DocumentDate = info.DocumentDateText = *a.Date;
  if (a.DocumentId) info.DocumentId = *a.DocumentId;
  if (a.Version) info.DocumentVersion = *a.Version;
  if (a.UtfOutput) info.UtfOutput = *a.UtfOutput;
  if (a.PackToZip) info.PackToZip = *a.PackToZip;
  return true;
}

void CliUserInterface::ShowProgress(size_t done, size_t total) {
  if (!ShowProgressLine) return;
  std::cerr << "\r" << done << " of " << total << (done == total ? "\n" : "") << std::flush;
}

}  // namespace cli
