#pragma once
// The book's metadata as the book information dialog edits it and the description writer
// writes it, with the operations that prepare and tidy it for each conversion. Texts are 8-bit
// code-page bytes.

#include <array>
#include <string>
#include <string_view>

namespace fb2meta {

struct PersonName {
  std::string FirstName;
  std::string MiddleName;
  std::string LastName;
};

struct DocumentAuthorInfo {
  std::string FirstName;
  std::string MiddleName;
  std::string LastName;
  std::string NickName;
  std::string HomePages;  // ";"-separated
  std::string EMails;     // ";"-separated
};

struct BookInfo {
  std::string BookTitle;
  std::array<PersonName, 4> Authors;
  std::string Genres;  // genre codes joined by "; "
  std::string CoverImagePath;
  std::string Language;
  std::string DocumentDate;      // the masked date box: "dd.mm.yyyy"
  std::string DocumentDateText;  // as the user writes it
  std::string DocumentId;
  std::string DocumentVersion = "1";  // the version box's text, a number
  std::string SourceUrls;             // ";"-separated
  DocumentAuthorInfo DocumentAuthor;

  // The captions of the two "FB2 filename variant" choices.
  std::array<std::string, 2> FileNameProposals = {"1", "2"};

  // Output choices shown in the dialog; they belong to the conversion settings and are copied
  // in before the dialog is shown and back after it closes.
  bool UtfOutput = false;
  int FileNameVariant = 1;
  bool PackToZip = false;
  // Caption of the first "Encoding" choice: the encoding name of the current character set.
  std::string EncodingCaption = "windows-1251";

  // The "TabStop" box: whether the document-author boxes are reached with Tab.
  bool DocumentAuthorTabStops = false;
};

// Prepares the record for a conversion: every text emptied, the language set to the trimmed
// default language and a fresh document id. Proposals and output choices are kept.
void ResetBookInfo(BookInfo& info, std::string_view defaultLanguage);

// Trims every text field (not the masked date box) of bytes 0 to 32 at both ends.
void TrimBookInfo(BookInfo& info);

// A fresh random GUID: 32 upper-case hex digits in groups 8-4-4-4-12, no braces.
std::string NewDocumentId();

}  // namespace fb2meta
