#pragma once
// The batch window's conversion list: full source paths, unique when added one by one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace batch {

class ConversionList {
 public:
  const std::vector<std::string>& Entries() const { return entries_; }
  std::vector<std::string>& Entries() { return entries_; }
  bool Empty() const { return entries_.empty(); }

  // "Add": appends the path unless an entry with the same text, ignoring case, is there.
  bool Add(std::string_view path);
  // "Load file": the entries become the lines of the text, as they are (CR LF, CR or LF).
  void LoadFromText(std::string_view text);
  // "Save file": one entry per line, each ended by CR LF.
  std::string ToText() const;
  // "Delete": removes the selected entry, if any.
  void Delete(std::optional<size_t> selected);
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::string> entries_;
};

// The name "Save file" writes to: the chosen name with its extension replaced by ".txt".
std::string ListFileName(std::string_view chosen);

}  // namespace batch
