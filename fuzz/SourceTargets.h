#pragma once
// The bodies of the source-intake fuzz targets, shared by the libFuzzer binaries and by the unit
// test that replays the inputs kept in fuzz/regressions/.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/CodePage.h"
#include "source/SourceCharset.h"

namespace fuzztargets {

inline void RequireSource(bool condition) {
  if (!condition) std::abort();
}

// Finds the declarations and reads the bytes into windows-1251: the name spans lie inside the
// scanned window in order, and a text without a declaration comes back unchanged.
inline int FuzzSourceCharset(const uint8_t* data, size_t size) {
  static const platform::CodePage codePage(1251);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  size_t last = 0;
  for (const source::CharsetDeclaration& d : source::FindCharsetDeclarations(bytes)) {
    RequireSource(d.NameLength > 0 && d.NameStart >= last &&
                  d.NameStart + d.NameLength <= source::kDeclarationScanBytes &&
                  d.NameStart + d.NameLength <= size);
    last = d.NameStart + d.NameLength;
  }
  const std::string text = source::ReadInCodePage(bytes, codePage);
  if (source::DeclaredCharset(bytes).empty()) RequireSource(text == bytes);
  return 0;
}

}  // namespace fuzztargets
