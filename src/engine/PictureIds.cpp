#include "engine/PictureIds.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "engine/RepairText.h"

namespace engine {

using repair::IsNameChar;
using repair::IsNameStart;
using repair::IsXmlName;

namespace {

// Replaces what a name may not hold by "_", and a first character that may not begin one.
std::string MakeXmlName(std::string_view id) {
  const auto allowed = [](char c) { return IsNameChar(c) && c != ':' ? c : '_'; };
  std::string name;
  if (id.empty() || !IsNameStart(allowed(id[0]))) name.push_back('_');
  for (char c : id) name.push_back(allowed(c));
  return name;
}

struct IdSpot {
  size_t Begin, End;  // the value's bytes in the document
  bool Binary;        // a binary's id, else an image's reference (after its "#")
};

// The value of attribute `name` in the tag at [tagBegin, tagEnd), as offsets into the document.
bool FindAttribute(std::string_view doc, size_t tagBegin, size_t tagEnd, std::string_view name,
                   size_t& begin, size_t& end) {
  const std::string_view tag = doc.substr(tagBegin, tagEnd - tagBegin);
  size_t pos = 1;
  while ((pos = tag.find(name, pos)) != std::string_view::npos) {
    const size_t eq = pos + name.size();
    if (IsBlank(tag[pos - 1]) && eq + 1 < tag.size() && tag[eq] == '=' &&
        (tag[eq + 1] == '"' || tag[eq + 1] == '\'')) {
      const size_t close = tag.find(tag[eq + 1], eq + 2);
      if (close == std::string_view::npos) return false;
      begin = tagBegin + eq + 2;
      end = tagBegin + close;
      return true;
    }
    pos = eq;
  }
  return false;
}

// The picture ids of a document and the ids of its other elements.
struct IdScan {
  std::vector<IdSpot> Spots;
  std::unordered_set<std::string_view> OtherIds;
};

// Reads the tags of the document that begin in [from, to).
void ScanIds(std::string_view whole, size_t from, size_t to, IdScan& scan) {
  const std::string_view document = whole.substr(0, to);
  for (size_t pos = document.find('<', from); pos != std::string_view::npos;
       pos = document.find('<', pos + 1)) {
    // Most tags are closing ones or carry no attributes: they hold no id.
    size_t nameEnd = pos + 1;
    if (nameEnd < document.size() && document[nameEnd] == '/') continue;
    while (nameEnd < document.size() && IsNameChar(document[nameEnd])) ++nameEnd;
    if (nameEnd < document.size() && document[nameEnd] == '>') {
      pos = nameEnd;
      continue;
    }
    const bool binary = document.compare(pos + 1, 6, "binary") == 0;
    const bool image = document.compare(pos + 1, 5, "image") == 0;
    const size_t tagEnd = document.find('>', pos);
    if (tagEnd == std::string_view::npos) break;
    size_t begin = 0, end = 0;
    if (binary && FindAttribute(document, pos, tagEnd, "id", begin, end)) {
      scan.Spots.push_back({begin, end, true});
    } else if (image && FindAttribute(document, pos, tagEnd, "xlink:href", begin, end) &&
               begin < end && document[begin] == '#') {
      scan.Spots.push_back({begin + 1, end, false});
    } else if (!binary && FindAttribute(document, pos, tagEnd, "id", begin, end)) {
      scan.OtherIds.insert(document.substr(begin, end - begin));
    }
    if (binary) {
      // The Base64 text holds no tags: go on after the binary.
      const size_t close = document.find("</binary>", tagEnd);
      if (close == std::string_view::npos) break;
      pos = close;
    } else {
      pos = tagEnd;
    }
  }
}

struct Renaming {
  std::vector<std::string> BinaryIds;  // a binary's new id, by spot; empty where it stays
  std::unordered_map<std::string_view, std::string> Renamed;  // old id: the new one
  bool Changes = false;
};

// The first binary of an id keeps it when it is a valid name; later ones and invalid ones get
// new names, unique in the document.
Renaming PlanRenaming(std::string_view document, const IdScan& scan) {
  Renaming r;
  r.BinaryIds.resize(scan.Spots.size());
  std::unordered_set<std::string> used;
  for (std::string_view id : scan.OtherIds) used.emplace(id);
  std::unordered_set<std::string_view> seen;
  for (const IdSpot& s : scan.Spots) {
    const std::string_view id = document.substr(s.Begin, s.End - s.Begin);
    if (s.Binary && IsXmlName(id) && !scan.OtherIds.count(id)) used.emplace(id);
  }
  auto fresh = [&used](std::string_view id) {
    const std::string base = MakeXmlName(id);
    std::string name = base;
    for (int n = 2; !used.emplace(name).second; ++n) name = base + "_" + std::to_string(n);
    return name;
  };
  for (size_t i = 0; i < scan.Spots.size(); ++i) {
    const IdSpot& s = scan.Spots[i];
    if (!s.Binary) continue;
    const std::string_view id = document.substr(s.Begin, s.End - s.Begin);
    const bool first = seen.insert(id).second;
    if (first && IsXmlName(id) && !scan.OtherIds.count(id)) continue;
    r.BinaryIds[i] = fresh(id);
    if (first) r.Renamed.emplace(id, r.BinaryIds[i]);
    r.Changes = true;
  }
  return r;
}

void ApplyRenaming(std::string& text, const IdScan& scan, const Renaming& r) {
  const std::string_view document = text;
  std::string out;
  out.reserve(document.size() + 64);
  size_t copied = 0;
  for (size_t i = 0; i < scan.Spots.size(); ++i) {
    const IdSpot& s = scan.Spots[i];
    const std::string_view id = document.substr(s.Begin, s.End - s.Begin);
    const std::string* replacement = nullptr;
    if (s.Binary) {
      if (!r.BinaryIds[i].empty()) replacement = &r.BinaryIds[i];
    } else if (const auto found = r.Renamed.find(id); found != r.Renamed.end()) {
      replacement = &found->second;
    }
    if (!replacement) continue;
    out.append(document.substr(copied, s.Begin - copied));
    out.append(*replacement);
    copied = s.End;
  }
  out.append(document.substr(copied));
  text = std::move(out);
}

}  // namespace

void RepairPictureIds(std::string& document) {
  IdScan scan;
  ScanIds(document, 0, document.size(), scan);
  const Renaming renaming = PlanRenaming(document, scan);
  if (renaming.Changes) ApplyRenaming(document, scan, renaming);
}

void RepairPictureIds(std::string& document, size_t bodyBegin, size_t bodyEnd,
                      const std::vector<std::string>& bodyIds) {
  IdScan scan;
  ScanIds(document, 0, bodyBegin, scan);
  ScanIds(document, bodyEnd, document.size(), scan);
  scan.OtherIds.insert(bodyIds.begin(), bodyIds.end());
  // What must change depends on the binaries and the other ids alone; the references in the
  // body follow the binaries, so they are read only then.
  if (PlanRenaming(document, scan).Changes) RepairPictureIds(document);
}

}  // namespace engine
