#pragma once
// Where a word-processor document is exported to: beside it, under its own name with every blank
// replaced by "_" and the extension ".htm"; its pictures in the folder of the same name with
// ".files". When either is taken, the numbered alternatives "_1", "_2", ... are tried.

#include <functional>
#include <string>
#include <string_view>

namespace source {

struct ExportName {
  std::string Html;           // "D/My_Book.htm"
  std::string PictureFolder;  // "D/My_Book.files"
};

// The export name of `source` with alternative `number` (0 for the plain name, then 1, 2, ...).
ExportName WordExportName(std::string_view source, int number);

// The first alternative for which `taken` says no to neither the HTML nor the picture folder.
ExportName ChooseWordExportName(std::string_view source,
                                const std::function<bool(const std::string&)>& taken);

// True when anything (file, folder, link, even a dangling one) has that name.
bool PathTaken(const std::string& path);

}  // namespace source
