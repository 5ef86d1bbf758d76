#include "app/BookInfoSettings.h"

#include "app/SettingsKeys.h"

namespace app {

void LoadDocumentAuthor(const IniFile& file, fb2meta::BookInfo& info) {
  fb2meta::DocumentAuthorInfo& a = info.DocumentAuthor;
  a.FirstName = file.ReadString(keys::kDocAuthorFirstName, "");
  a.LastName = file.ReadString(keys::kDocAuthorLastName, "");
  a.MiddleName = file.ReadString(keys::kDocAuthorMiddleName, "");
  a.NickName = file.ReadString(keys::kDocAuthorNick, "");
  a.HomePages = file.ReadString(keys::kDocAuthorHome, "");
  a.EMails = file.ReadString(keys::kDocAuthorMail, "");
  info.SourceUrls = file.ReadString(keys::kSourceUrl, "");
}

BookInfoDialogSettings LoadBookInfoDialogSettings(const IniFile& file) {
  BookInfoDialogSettings settings;
  settings.FileNameVariant = file.ReadBool(keys::kFileNameVariant, true) ? 1 : 2;
  settings.PackToZip = file.ReadBool(keys::kPackToZip, false);
  settings.DocumentAuthorTabStops = file.ReadBool(keys::kAuthorTabStop, false);
  return settings;
}

void SaveBookInfoDialogSettings(IniFile& file, const fb2meta::BookInfo& info) {
  const fb2meta::DocumentAuthorInfo& a = info.DocumentAuthor;
  file.WriteString(keys::kDocAuthorFirstName, a.FirstName);
  file.WriteString(keys::kDocAuthorLastName, a.LastName);
  file.WriteString(keys::kDocAuthorMiddleName, a.MiddleName);
  file.WriteString(keys::kDocAuthorNick, a.NickName);
  file.WriteString(keys::kDocAuthorHome, a.HomePages);
  file.WriteString(keys::kDocAuthorMail, a.EMails);
  file.WriteString(keys::kSourceUrl, info.SourceUrls);
  file.WriteBool(keys::kFileNameVariant, info.FileNameVariant == 1);
  file.WriteBool(keys::kAuthorTabStop, info.DocumentAuthorTabStops);
}

}  // namespace app
