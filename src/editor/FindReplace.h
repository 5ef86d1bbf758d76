#pragma once
// Plain-text search and replacement in an editor: forward from the selection, bytes compared
// exactly, never wrapping around.

#include <cstddef>
#include <string_view>

#include "app/TextEditor.h"
#include "app/UserInterface.h"

namespace editor {

// Fourteen blanks on each side.
inline constexpr std::string_view kTheEndMessage = "              The End              ";
inline constexpr std::string_view kItemsReplacedSuffix = " items replaced.";

// Searches `text` forward: right after the selection when the selection is `text` itself, else
// from the selection's start. Selects the occurrence and returns true; otherwise leaves the
// selection alone, shows the end message unless `quiet`, and returns false.
bool FindInEditor(app::TextEditor& editor, std::string_view text, bool quiet,
                  app::UserInterface& ui);

// When the selection is `text`, replaces it with `replacement` (one undo step, caret after it).
bool ReplaceSelectionIfEqual(app::TextEditor& editor, std::string_view text,
                             std::string_view replacement);

// Starting with the selection when it is `text`, replaces it and every later occurrence of `text`
// (non-overlapping, text inserted is not searched again) and leaves the caret after the last
// replacement. The whole change is one undo step, made in one pass over the text. Returns the
// number of replacements; nothing changes when the selection is not `text`.
size_t ReplaceAllFromSelection(app::TextEditor& editor, std::string_view text,
                               std::string_view replacement);

}  // namespace editor
