#include "fb2meta/BookInfo.h"

#include <uuid/uuid.h>

#include "engine/TextUtil.h"

namespace fb2meta {
namespace {

void TrimInPlace(std::string& s) {
  std::string_view trimmed = engine::Trim(s);
  if (trimmed.size() != s.size()) s = std::string(trimmed);
}

}  // namespace

void ResetBookInfo(BookInfo& info, std::string_view defaultLanguage) {
  info.BookTitle.clear();
  for (PersonName& author : info.Authors) author = PersonName{};
  info.Genres.clear();
  info.CoverImagePath.clear();
  info.Language = std::string(engine::Trim(defaultLanguage));
  info.DocumentDateText.clear();
  info.DocumentId.clear();
  info.DocumentVersion.clear();
  info.DocumentAuthor = DocumentAuthorInfo{};
  info.DocumentId = NewDocumentId();
  info.SourceUrls.clear();
}

void TrimBookInfo(BookInfo& info) {
  TrimInPlace(info.BookTitle);
  for (PersonName& author : info.Authors) {
    TrimInPlace(author.FirstName);
    TrimInPlace(author.MiddleName);
    TrimInPlace(author.LastName);
  }
  TrimInPlace(info.Genres);
  TrimInPlace(info.CoverImagePath);
  TrimInPlace(info.Language);
  TrimInPlace(info.DocumentDateText);
  TrimInPlace(info.DocumentId);
  TrimInPlace(info.DocumentVersion);
  DocumentAuthorInfo& a = info.DocumentAuthor;
  for (std::string* field :
       {&a.FirstName, &a.MiddleName, &a.LastName, &a.NickName, &a.HomePages, &a.EMails})
    TrimInPlace(*field);
  TrimInPlace(info.SourceUrls);
}

std::string NewDocumentId() {
  uuid_t id;
  uuid_generate_random(id);
  char text[37];
  uuid_unparse_upper(id, text);
  return std::string(text, 36);
}

}  // namespace fb2meta
