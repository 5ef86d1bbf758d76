#include "source/Fb2Reopen.h"

#include <gtest/gtest.h>

#include <string>

namespace source {
namespace {

// Marks each converted line so the test sees which lines were converted.
std::string Mark(std::string_view line) {
  return "[" + std::string(line) + "]";
}

TEST(Fb2ReopenTest, EightBitFilesArriveUnchangedWithTheirStyle) {
  struct Case {
    std::string Bytes;
    std::string_view Style;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", "\r\n"}, {"a\nb\n", "\n"},
      {"a\rb", "\r"},         {"a\nb\r\nc", "\r\n"},             // mixed
      {"no break", "\r\n"},   {std::string("a\0b\n", 4), "\n"},  // NUL bytes stay
  };
  for (const Case& c : cases) {
    const Fb2Text text = ReadFb2Text(c.Bytes, false, Mark);
    EXPECT_EQ(text.Text, c.Bytes);
    EXPECT_EQ(text.LineBreak, c.Style);
  }
}

TEST(Fb2ReopenTest, Utf8FilesAreConvertedLineByLine) {
  struct Case {
    std::string Bytes;
    std::string Text;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", "[a]\r\n[b]\r\n"},
      {"a\nb", "[a]\n[b]"},
      {"a\r\rb\r", "[a]\r[]\r[b]\r"},
      {"\r\nx", "[]\r\n[x]"},
      {std::string("a\r\nb\0c\r\nd", 9), "[a]\r\n[b]"},  // a NUL byte ends the text
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadFb2Text(c.Bytes, true, Mark).Text, c.Text);
  }
}

}  // namespace
}  // namespace source
