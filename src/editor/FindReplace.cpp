#include "editor/FindReplace.h"

#include <string>

namespace editor {

bool FindInEditor(app::TextEditor& editor, std::string_view text, bool quiet,
                  app::UserInterface& ui) {
  if (text.empty()) return false;
  const std::string selected = editor.SelectedText();
  size_t from = editor.SelectionStart();
  if (selected == text) from += text.size();
  const std::string whole = editor.Text();
  const size_t hit = from <= whole.size() ? whole.find(text, from) : std::string::npos;
  if (hit == std::string::npos) {
    if (!quiet) ui.ShowMessage(app::kProgramName, kTheEndMessage);
    return false;
  }
  editor.Select(hit, text.size());
  return true;
}

bool ReplaceSelectionIfEqual(app::TextEditor& editor, std::string_view text,
                             std::string_view replacement) {
  if (editor.SelectedText() != text) return false;
  editor.ReplaceSelection(replacement);
  return true;
}

size_t ReplaceAllFromSelection(app::TextEditor& editor, std::string_view text,
                               std::string_view replacement) {
  if (text.empty() || editor.SelectionLength() != text.size()) return 0;
  const std::string whole = editor.Text();
  const size_t start = editor.SelectionStart();
  if (std::string_view(whole).substr(start, text.size()) != text) return 0;

  // Each step of the replace-and-find-next loop searches from the end of the text just inserted,
  // which is the original text after the occurrence: the occurrences are those of one
  // left-to-right pass from the selection on.
  std::string middle;
  size_t count = 0;
  size_t pos = start;
  size_t end = start;
  for (size_t hit = start; hit != std::string::npos; hit = whole.find(text, pos)) {
    middle.append(whole, pos, hit - pos);
    middle.append(replacement);
    pos = end = hit + text.size();
    ++count;
  }
  editor.Select(start, end - start);
  editor.ReplaceSelection(middle);
  return count;
}

}  // namespace editor
