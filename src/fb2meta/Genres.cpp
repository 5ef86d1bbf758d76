#include "fb2meta/Genres.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "engine/TextUtil.h"

namespace fb2meta {

std::vector<std::string> ReadGenreFile(const std::string& path) {
  std::vector<std::string> entries;
  std::ifstream in(path, std::ios::binary);
  if (!in) return entries;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  text = text.substr(0, text.find('\0'));
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    entries.emplace_back(text, start, i - start);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) entries.emplace_back(text, start);
  return entries;
}

std::vector<std::string> SplitGenreText(std::string_view genres) {
  std::vector<std::string> chosen;
  size_t cut;
  while ((cut = genres.find(';')) != std::string_view::npos) {
    chosen.emplace_back(engine::Trim(genres.substr(0, cut)));
    genres.remove_prefix(cut + 1);
  }
  std::string_view rest = engine::Trim(genres);
  if (!rest.empty()) chosen.emplace_back(rest);
  return chosen;
}

std::string JoinGenres(const std::vector<std::string>& chosen) {
  std::string text;
  for (const std::string& entry : chosen) {
    if (!text.empty()) text.append("; ");
    text.append(entry);
  }
  return text;
}

size_t EditDistance(std::string_view a, std::string_view b) {
  // One row of the table at a time: row[j] is the distance between a's prefix and b's first j.
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::vector<std::string> NearestGenres(std::string_view code,
                                       const std::vector<std::string>& available, size_t count) {
  std::vector<std::pair<size_t, std::string>> ranked;
  for (const std::string& entry : available) {
    const std::string_view genre = engine::Trim(entry);
    if (genre.empty() ||
        std::any_of(ranked.begin(), ranked.end(), [&](const auto& r) { return r.second == genre; }))
      continue;
    ranked.emplace_back(EditDistance(code, genre), genre);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> nearest;
  for (size_t i = 0; i < ranked.size() && i < count; ++i) nearest.push_back(ranked[i].second);
  return nearest;
}

bool GenrePicker::AddToDoc(size_t index) {
  if (index >= available_.size()) return false;
  const std::string& entry = available_[index];
  bool held = std::any_of(chosen_.begin(), chosen_.end(),
                          [&](const std::string& c) { return engine::EqualsNoCase(c, entry); });
  if (held) return true;
  chosen_.push_back(entry);
  return false;
}

void GenrePicker::Delete(const std::vector<size_t>& indexes) {
  std::vector<size_t> sorted(indexes);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
    if (*it < chosen_.size()) chosen_.erase(chosen_.begin() + static_cast<std::ptrdiff_t>(*it));
}

}  // namespace fb2meta
