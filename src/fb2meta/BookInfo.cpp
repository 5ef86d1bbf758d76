#include "fb2meta/BookInfo.h"

#include <uuid/uuid.h>

#include "engine/TextUtil.h"
#include "fb2meta/ProfileStore.h"

namespace fb2meta {
namespace {

constexpr std::string_view kDocInfo = "DocInfo";
constexpr std::string_view kBookInfo = "BookInfo";

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

void LoadDocumentAuthor(BookInfo& info, const ProfileStore& store) {
  DocumentAuthorInfo& a = info.DocumentAuthor;
  a.FirstName = store.ReadString(kDocInfo, "AFName", "");
  a.LastName = store.ReadString(kDocInfo, "ALName", "");
  a.MiddleName = store.ReadString(kDocInfo, "AMName", "");
  a.NickName = store.ReadString(kDocInfo, "Nick", "");
  a.HomePages = store.ReadString(kDocInfo, "Home", "");
  a.EMails = store.ReadString(kDocInfo, "Mail", "");
  info.SourceUrls = store.ReadString(kDocInfo, "Url", "");
}

BookInfoDialogSettings LoadBookInfoDialogSettings(const ProfileStore& store) {
  BookInfoDialogSettings settings;
  settings.FileNameVariant = store.ReadBool(kBookInfo, "FManeVar", true) ? 1 : 2;
  settings.PackToZip = store.ReadBool("main", "zip", false);
  settings.DocumentAuthorTabStops = store.ReadBool(kBookInfo, "atabstop", false);
  return settings;
}

bool SaveBookInfoDialogSettings(const BookInfo& info, ProfileStore& store) {
  const DocumentAuthorInfo& a = info.DocumentAuthor;
  return store.WriteString(kDocInfo, "AFName", a.FirstName) &&
         store.WriteString(kDocInfo, "ALName", a.LastName) &&
         store.WriteString(kDocInfo, "AMName", a.MiddleName) &&
         store.WriteString(kDocInfo, "Nick", a.NickName) &&
         store.WriteString(kDocInfo, "Home", a.HomePages) &&
         store.WriteString(kDocInfo, "Mail", a.EMails) &&
         store.WriteString(kDocInfo, "Url", info.SourceUrls) &&
         store.WriteBool(kBookInfo, "FManeVar", info.FileNameVariant == 1) &&
         store.WriteBool(kBookInfo, "atabstop", info.DocumentAuthorTabStops);
}

}  // namespace fb2meta
