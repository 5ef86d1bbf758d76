#pragma once
// The settings-file keys of the book information dialog: the document author and source URLs
// it offers each conversion, the choices it reads when it is created, and what it stores each
// time it closes.

#include "app/IniFile.h"
#include "fb2meta/BookInfo.h"

namespace app {

// The document author and the source URLs from the "DocInfo" keys; missing keys give empty texts.
void LoadDocumentAuthor(const IniFile& file, fb2meta::BookInfo& info);

// What the dialog reads when it is created.
struct BookInfoDialogSettings {
  int FileNameVariant = 1;              // "BookInfo" / "FManeVar", true for variant 1
  bool PackToZip = false;               // "main" / "zip"
  bool DocumentAuthorTabStops = false;  // "BookInfo" / "atabstop"
};
BookInfoDialogSettings LoadBookInfoDialogSettings(const IniFile& file);

// What the dialog writes when it closes, whichever way: the document author, the source URLs,
// the file-name variant and the "TabStop" box. Throws IniWriteError at the first key that cannot
// be written; the keys before it stay written.
void SaveBookInfoDialogSettings(IniFile& file, const fb2meta::BookInfo& info);

}  // namespace app
