#pragma once
// The genre picker's text logic: the genre file, the genre text split into the chosen list and
// joined back, and the picker's commands over the two lists.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fb2meta {

inline constexpr std::string_view kGenreFileName = "FictionBookGenres.txt";

// One entry per line, exactly as written (an empty line is an empty entry); a missing or
// unreadable file gives no entries.
std::vector<std::string> ReadGenreFile(const std::string& path);

// The genre text split at ";": every piece before a ";" trimmed and kept even when empty, the
// rest after the last ";" kept only when not empty.
std::vector<std::string> SplitGenreText(std::string_view genres);
// The entries joined by "; ".
std::string JoinGenres(const std::vector<std::string>& chosen);

// The number of single-byte insertions, deletions and replacements that turn `a` into `b`.
size_t EditDistance(std::string_view a, std::string_view b);
// Up to `count` entries of `available` (trimmed, empty ones skipped, each once) nearest to
// `code` by EditDistance, nearest first; entries equally near keep the list's order. For the
// message about a code the list does not hold.
std::vector<std::string> NearestGenres(std::string_view code,
                                       const std::vector<std::string>& available, size_t count = 3);

// One showing of the picker: the available entries and the chosen list being built.
class GenrePicker {
 public:
  GenrePicker(const std::vector<std::string>& available, std::string_view genres)
      : available_(available), chosen_(SplitGenreText(genres)) {}

  const std::vector<std::string>& Available() const { return available_; }
  const std::vector<std::string>& Chosen() const { return chosen_; }

  // "Add to doc" with the available entry `index` selected: appends it when the chosen list
  // does not hold it yet (letter case ignored). Returns true when it was there already, which
  // closes the picker as "Ok". An index outside the list does nothing.
  bool AddToDoc(size_t index);
  // "Delete": removes the chosen entries at these indexes.
  void Delete(const std::vector<size_t>& indexes);
  // "Clear"
  void Clear() { chosen_.clear(); }

  // The genre text returned on "Ok".
  std::string Result() const { return JoinGenres(chosen_); }

 private:
  const std::vector<std::string>& available_;
  std::vector<std::string> chosen_;
};

}  // namespace fb2meta
