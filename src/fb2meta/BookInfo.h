#pragma once
// The book's metadata as the book information dialog edits it and the description writer
// writes it. Texts are 8-bit code-page bytes.

#include <array>
#include <string>

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
  std::string DocumentDate;      // "dd.mm.yyyy"
  std::string DocumentDateText;  // as the user writes it
  std::string DocumentId;
  std::string DocumentVersion = "1";  // the version box's text
  std::string SourceUrls;             // ";"-separated
  DocumentAuthorInfo DocumentAuthor;

  // The captions of the two "FB2 filename variant" choices.
  std::array<std::string, 2> FileNameProposals = {"1", "2"};

  // Output choices shown in the dialog; they belong to the conversion settings.
  bool UtfOutput = false;
  int FileNameVariant = 1;
  bool PackToZip = false;
  // Caption of the first "Encoding" choice: the encoding name of the current character set.
  std::string EncodingCaption = "windows-1251";
};

}  // namespace fb2meta
