#include "engine/Entities.h"

#include "engine/Escaping.h"

namespace engine {

// Placeholders until the entity decoder lands.
void AppendDecodedEntities(std::string& out, std::string_view run, const platform::CodePage&) {
  AppendXmlText(out, run);
}
std::string DecodeEntities(std::string_view run, const platform::CodePage& cp) {
  std::string out;
  AppendDecodedEntities(out, run, cp);
  return out;
}
std::string DecodeTableEntities(std::string_view run, const platform::CodePage&) {
  return std::string(run);
}
std::string CollapseBlanks(std::string_view text) { return std::string(text); }

}  // namespace engine
