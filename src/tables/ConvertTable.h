#pragma once
// The "Convert table" command without its window: renders the table selected in the source
// editor into a numbered picture and gives the texts for the "Images" tab.

#include <string>
#include <string_view>

#include "engine/HTMLPars.h"
#include "tables/TableFont.h"
#include "tables/TableSettings.h"

namespace platform {
class CodePage;
}

namespace tables {

struct ConvertTableResult {
  bool Counted = false;           // the selection was not empty: the picture count went up
  std::string PictureName;        // "table<count>.png", the picture's file name and id
  std::string Png;                // the picture's PNG bytes; empty when the table gave none
  std::string ImagesTabRefs;      // the "Images" tab's upper pane; empty without Png
  std::string ImagesTabBinaries;  // its lower pane: the binary element; empty without Png
};

// Wraps the selection in an html element, cleans it and renders it. An empty selection changes
// nothing; otherwise `tablePictureCount` goes up by one, even when no picture results. No file
// is written: the picture is encoded from memory. Throws
// TableError for a table too large to draw or when no font can be loaded.
ConvertTableResult ConvertSelectedTable(std::string_view selection, int& tablePictureCount,
                                        const TableSettings& settings, FontCache& fonts,
                                        const platform::CodePage& codePage,
                                        const engine::OnErrorFn& onError = {});

}  // namespace tables
