#pragma once
// Removing the HTML export of a word-processor document and its picture folder after use.

#include <string>

namespace source {

// Deletes a folder with everything in it. Sub-folders are descended into; symbolic links are
// removed as links and never followed, so nothing outside the folder is touched (a `folder` that
// is itself a link loses only the link). Folders without write permission are given it first, so
// read-only entries go too. Reports nothing: what cannot be deleted stays, and so does the folder.
void DeleteFolderTree(const std::string& folder);

// Deletes the export file `exportPath` and its picture folder: the same path with the extension
// ".files" (letter case kept). An empty path does nothing.
void RemoveWordExport(const std::string& exportPath);

}  // namespace source
