#pragma once
// The body of the entity decoder's fuzz target, shared by the libFuzzer binary and by the unit
// test that replays the inputs kept in fuzz/regressions/fuzz_entities/.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/Entities.h"
#include "platform/CodePage.h"

namespace fuzztargets {

// True when `text` is XML character data: no "<" or ">", no control byte XML forbids, and every
// "&" starts "&amp;", "&lt;", "&gt;" or a decimal character reference.
inline bool IsEscapedXmlText(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == '<' || b == '>') return false;
    if (b < 32 && b != '\t' && b != '\n' && b != '\r') return false;
    if (b != '&') continue;
    const std::string_view rest = text.substr(i + 1);
    if (rest.starts_with("amp;") || rest.starts_with("lt;") || rest.starts_with("gt;")) continue;
    if (!rest.starts_with("#")) return false;
    size_t j = 1;
    while (j < rest.size() && rest[j] >= '0' && rest[j] <= '9') ++j;
    if (j == 1 || j >= rest.size() || rest[j] != ';') return false;
  }
  return true;
}

// Decodes the bytes as a body text run and as table text in the code page chosen by the first
// byte, and checks that body text comes out as XML and that no blank follows a blank after
// CollapseBlanks.
inline int FuzzEntities(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const platform::CodePage cp1251(1251), cp1252(1252), cp932(932);
  const platform::CodePage& cp = data[0] % 3 == 0 ? cp1251 : data[0] % 3 == 1 ? cp1252 : cp932;
  const std::string_view run(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string body = engine::DecodeEntities(run, cp);
  if (!IsEscapedXmlText(body)) std::abort();
  const std::string table = engine::DecodeTableEntities(run, cp);
  if (table.size() > run.size() * 16 + 16) std::abort();
  const std::string collapsed = engine::CollapseBlanks(run);
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\xA0'; };
  for (size_t i = 1; i < collapsed.size(); ++i) {
    if (blank(collapsed[i]) && blank(collapsed[i - 1])) std::abort();
  }
  return 0;
}

}  // namespace fuzztargets
