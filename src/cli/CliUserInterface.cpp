#include "cli/CliUserInterface.h"

#include <algorithm>
#include <iostream>

#include "engine/TextUtil.h"
#include "platform/CodePage.h"

namespace cli {
namespace {

// Options arrive in the terminal's UTF-8; the book information is text in the system code page.
// Characters the code page lacks become "?", as a typed field would hold them. Bytes that are not
// UTF-8 are taken as they are.
class OptionText {
 public:
  std::string operator()(const std::string& utf8) const {
    return codePage_.FromUtf8(utf8, platform::Unmappable::QuestionMark).value_or(utf8);
  }
  fb2meta::PersonName operator()(const fb2meta::PersonName& name) const {
    return {(*this)(name.FirstName), (*this)(name.MiddleName), (*this)(name.LastName)};
  }

 private:
  platform::CodePage codePage_{platform::SystemCodePageNumber()};
};

}  // namespace

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

std::string MessageForTerminal(std::string_view line, std::string_view locale, int codePage) {
  const std::string charset =
      engine::ToLowerAscii(locale.substr(std::min(locale.find('.'), locale.size())));
  if (charset.rfind(".utf-8", 0) != 0 && charset.rfind(".utf8", 0) != 0) return std::string(line);
  for (size_t pos = 0; pos < line.size();) {
    if (!platform::DecodeUtf8(line, pos)) return platform::CodePage(codePage).ToUtf8(line);
  }
  return std::string(line);
}

void CliUserInterface::ShowMessage(std::string_view caption, std::string_view text) {
  std::string line(caption);
  if (!caption.empty() && !text.empty()) line += ": ";
  line += text;  // a tokenizer report's quote is already cut short
  std::cerr << "vellumor-cli: "
            << MessageForTerminal(line, platform::LocaleName(), platform::SystemCodePageNumber())
            << "\n";
  Messages.push_back(std::move(line));
}

bool CliUserInterface::EditBookInfo(fb2meta::BookInfo& info) {
  const BookInfoAnswers& a = Answers;
  const OptionText text;
  if (a.Title) info.BookTitle = text(*a.Title);
  for (size_t i = 0; i < a.Authors.size() && i < info.Authors.size(); ++i)
    info.Authors[i] = text(a.Authors[i]);
  if (!a.Genres.empty()) {
    info.Genres.clear();
    for (const std::string& genre : a.Genres) {
      if (!info.Genres.empty()) info.Genres += "; ";
      info.Genres += text(genre);
    }
  }
  if (a.Language) info.Language = text(*a.Language);
  // A path stays the bytes the file system knows it by.
  if (a.CoverImagePath) info.CoverImagePath = *a.CoverImagePath;
  if (a.Date) info.DocumentDate = info.DocumentDateText = text(*a.Date);
  if (a.DocumentId) info.DocumentId = text(*a.DocumentId);
  if (a.Version) info.DocumentVersion = text(*a.Version);
  if (a.DocumentAuthor) {
    const fb2meta::PersonName name = text(*a.DocumentAuthor);
    info.DocumentAuthor.FirstName = name.FirstName;
    info.DocumentAuthor.MiddleName = name.MiddleName;
    info.DocumentAuthor.LastName = name.LastName;
  }
  if (a.DocumentNickName) info.DocumentAuthor.NickName = text(*a.DocumentNickName);
  if (a.DocumentEMails) info.DocumentAuthor.EMails = text(*a.DocumentEMails);
  if (a.DocumentHomePages) info.DocumentAuthor.HomePages = text(*a.DocumentHomePages);
  if (a.SourceUrls) info.SourceUrls = text(*a.SourceUrls);
  if (a.FileNameVariant) info.FileNameVariant = *a.FileNameVariant;
  if (a.UtfOutput) info.UtfOutput = *a.UtfOutput;
  if (a.PackToZip) info.PackToZip = *a.PackToZip;
  return true;
}

void CliUserInterface::ShowProgress(size_t done, size_t total) {
  if (!ShowProgressLine) return;
  std::cerr << "\r" << done << " of " << total << (done == total ? "\n" : "") << std::flush;
}

}  // namespace cli
