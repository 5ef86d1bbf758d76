#pragma once
// Picture ids the schema takes: valid XML names, unique in the document.

#include <cstddef>
#include <string>
#include <vector>

namespace engine {

// Rewrites picture ids that are not valid XML names, or that a binary repeats, in the `image`
// references and `binary` elements alike (the cover's among them).
void RepairPictureIds(std::string& document);

// The same for a document whose body, at [bodyBegin, bodyEnd), carries the element ids
// `bodyIds`: the body is read only when some id must change.
void RepairPictureIds(std::string& document, size_t bodyBegin, size_t bodyEnd,
                      const std::vector<std::string>& bodyIds);

}  // namespace engine
