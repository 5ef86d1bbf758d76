#include "batch/ConversionList.h"

#include <algorithm>
#include <filesystem>

#include "engine/TextUtil.h"

namespace batch {

bool ConversionList::Add(std::string_view path) {
  const bool present = std::any_of(entries_.begin(), entries_.end(), [&](const std::string& e) {
    return engine::EqualsNoCase(e, path);
  });
  if (!present) entries_.emplace_back(path);
  return !present;
}

void ConversionList::LoadFromText(std::string_view text) {
  entries_.clear();
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    entries_.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  // A last line without a line break is a line too; a final line break ends the last one.
  if (start < text.size()) entries_.emplace_back(text.substr(start));
}

std::string ConversionList::ToText() const {
  std::string text;
  for (const std::string& entry : entries_) {
    text += entry;
    text += "\r\n";
  }
  return text;
}

void ConversionList::Delete(std::optional<size_t> selected) {
  if (selected && *selected < entries_.size())
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*selected));
}

std::string ListFileName(std::string_view chosen) {
  return std::filesystem::path(chosen).replace_extension(".txt").string();
}

}  // namespace batch
