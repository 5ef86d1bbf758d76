#pragma once
// What the program knows about the document being worked on, beyond the two editors.

#include <string>

namespace app {

struct DocumentState {
  std::string SourcePath;       // the file the user opened
  std::string SourceHtmlPath;   // the HTML that was loaded (the export for a word-processor file)
  std::string SourceSaveName;   // the name the source-HTML save dialog last accepted
  std::string ProposedFb2Name;  // the file name the book information proposes
  std::string WordExportPath;   // the word-processor export to remove after conversion
  std::string SourceLanguage;   // the language the loaded source declares ("en"), else empty
  std::string LastFb2Path;      // the FB2 last saved or opened
  std::string LastZipPath;      // the archive last saved
  int TablePictureCount = 0;    // pictures made by "Convert table"
  std::string StartupFile;      // a file named on the command line
  bool BatchMode = false;       // no questions: batch conversion and the command line
};

}  // namespace app
