#include "images/Base64.h"

#include <gtest/gtest.h>

#include <random>

#include "Fixtures.h"

namespace {

struct Case {
  std::string Bytes;
  std::string Expected;
};

TEST(Base64, EncodesStandardAlphabetWithPadding) {
  const Case cases[] = {
      {"", ""},
      {"a", "YQ=="},
      {"ab", "YWI="},
      {"abc", "YWJj"},
      {"abcd", "YWJjZA=="},
      {"abcde", "YWJjZGU="},
      {std::string("\xff\xfe\xfd\x00\x3e\x3f", 6), "//79AD4/"},
      {std::string("\xfb\xff", 2), "+/8="},
  };
  for (const Case& c : cases) {
    std::string out = "prefix:";
    images::AppendBase64(c.Bytes, out);
    EXPECT_EQ(out, "prefix:" + c.Expected) << c.Bytes;
    EXPECT_EQ(images::Base64Length(c.Bytes.size()), c.Expected.size());
  }
}

TEST(Base64, WriterJoinsPiecesOfAnyLength) {
  std::mt19937 rng(7);
  std::string bytes(1000, '\0');
  for (char& c : bytes) c = static_cast<char>(rng());
  std::string whole;
  images::AppendBase64(bytes, whole);
  for (size_t piece : {1u, 2u, 4u, 5u, 64u, 999u}) {
    std::string out;
    images::Base64Writer writer(out);
    for (size_t at = 0; at < bytes.size(); at += piece) {
      writer.Write(std::string_view(bytes).substr(at, piece));
    }
    writer.Write({});
    writer.Finish();
    EXPECT_EQ(out, whole) << "pieces of " << piece;
  }
  EXPECT_EQ(fixtures::DecodeBase64(whole), bytes);
}

TEST(Base64, EncodesWholeFilesAsOneLine) {
  fixtures::TempDir dir;
  EXPECT_EQ(images::EncodeFileBase64(dir.Write("abc.bin", "abc")), "YWJj");
  EXPECT_EQ(images::EncodeFileBase64(dir.Write("abcd.bin", "abcd")), "YWJjZA==");
  EXPECT_EQ(images::EncodeFileBase64(dir.Write("empty.bin", "")), "");
  EXPECT_EQ(images::EncodeFileBase64(dir.Path() + "missing.bin"), "");
  EXPECT_EQ(images::EncodeFileBase64(dir.Path()), "") << "a folder is no file";

  const std::string text54 = images::EncodeFileBase64(dir.Write("54.bin", std::string(54, 'x')));
  EXPECT_EQ(text54.size(), 72u);
  EXPECT_EQ(text54.find_first_of("\r\n="), std::string::npos);

  // Larger than the read buffer, and not a multiple of three.
  std::mt19937 rng(3);
  std::string big(3 * 300000 + 2, '\0');
  for (char& c : big) c = static_cast<char>(rng());
  const std::string text = images::EncodeFileBase64(dir.Write("big.bin", big));
  EXPECT_EQ(text.size(), images::Base64Length(big.size()));
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(fixtures::DecodeBase64(text), big);
}

}  // namespace
