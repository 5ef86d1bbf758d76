#include "engine/TextUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace engine {
namespace {

// Lines split at CR LF, CR or LF and each ended by CR LF; a NUL ends the text. Texts already in
// that form come back as they are, from a view or by taking over the buffer.
TEST(NormalizeLineBreaks, EveryBreakBecomesCrLf) {
  struct Case {
    std::string In;
    std::string Out;
  } cases[] = {
      {"", ""},
      {"a", "a\r\n"},
      {"a\r\n", "a\r\n"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\nb", "a\r\nb\r\n"},
      {"a\rb\r", "a\r\nb\r\n"},
      {"a\r\rb", "a\r\n\r\nb\r\n"},
      {"a\n\rb", "a\r\n\r\nb\r\n"},
      {"a\r\n\nb\r\n", "a\r\n\r\nb\r\n"},
      {"\r\n", "\r\n"},
      {"\n", "\r\n"},
      {"\r", "\r\n"},
      {"a\r\nb", "a\r\nb\r\n"},                         // no break at the end
      {"a\r\nb\n\r\n", "a\r\nb\r\n\r\n"},               // as many CR as LF, but not in pairs
      {"\n\r", "\r\n\r\n"},                             // the same, at the smallest
      {std::string("a\r\nb\0c\r\n", 8), "a\r\nb\r\n"},  // a NUL ends the text
      {std::string("\0a", 2), ""},
      {std::string(40, 'x') + "\n" + std::string(40, 'y'),
       std::string(40, 'x') + "\r\n" + std::string(40, 'y') + "\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NormalizeLineBreaks(std::string_view(c.In)), c.Out);
    std::string moved = c.In;
    EXPECT_EQ(NormalizeLineBreaks(std::move(moved)), c.Out);
  }
  EXPECT_EQ(NormalizeLineBreaks("x\ry"), "x\r\ny\r\n");
}

}  // namespace
}  // namespace engine
