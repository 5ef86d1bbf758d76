#include "fb2meta/BookInfo.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace fb2meta {
namespace {

BookInfo FilledBook() {
  BookInfo info;
  info.BookTitle = " Title ";
  for (PersonName& a : info.Authors) a = {" F ", " M ", " L "};
  info.Genres = " g1; g2 ";
  info.CoverImagePath = " cover.jpg\t";
  info.Language = " en ";
  info.DocumentDate = " 1.01.2026 ";
  info.DocumentDateText = "\x01text\x02";
  info.DocumentId = " ID ";
  info.DocumentVersion = " 2 ";
  info.SourceUrls = " http://a.example/ ";
  info.DocumentAuthor = {" f ", " m ", " l ", " n ", " h ", " e "};
  info.FileNameProposals = {"A.fb2", "B.fb2"};
  info.DocumentAuthorTabStops = true;
  return info;
}

TEST(BookInfo, NewDocumentIdIsAnUpperCaseGuid) {
  const std::regex guid("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    std::string id = NewDocumentId();
    EXPECT_TRUE(std::regex_match(id, guid)) << id;
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 20u);
}

TEST(BookInfo, ResetEmptiesTheBookAndKeepsTheDialogChoices) {
  BookInfo info = FilledBook();
  const std::string oldId = info.DocumentId;
  ResetBookInfo(info, "  de\t");
  EXPECT_EQ(info.BookTitle, "");
  for (const PersonName& a : info.Authors) {
    EXPECT_EQ(a.FirstName + a.MiddleName + a.LastName, "");
  }
  EXPECT_EQ(info.Genres, "");
  EXPECT_EQ(info.CoverImagePath, "");
  EXPECT_EQ(info.Language, "de");
  EXPECT_EQ(info.DocumentDateText, "");
  EXPECT_EQ(info.DocumentVersion, "");
  EXPECT_EQ(info.SourceUrls, "");
  const DocumentAuthorInfo& d = info.DocumentAuthor;
  EXPECT_EQ(d.FirstName + d.MiddleName + d.LastName + d.NickName + d.HomePages + d.EMails, "");
  EXPECT_EQ(info.DocumentId.size(), 36u);
  EXPECT_NE(info.DocumentId, oldId);
  // Not part of the book: the proposals and the tab-stop choice stay.
  EXPECT_EQ(info.FileNameProposals[0], "A.fb2");
  EXPECT_TRUE(info.DocumentAuthorTabStops);
}

TEST(BookInfo, TrimCleansEveryTextFieldButTheDateBox) {
  BookInfo info = FilledBook();
  TrimBookInfo(info);
  EXPECT_EQ(info.BookTitle, "Title");
  for (const PersonName& a : info.Authors) {
    EXPECT_EQ(a.FirstName, "F");
    EXPECT_EQ(a.MiddleName, "M");
    EXPECT_EQ(a.LastName, "L");
  }
  EXPECT_EQ(info.Genres, "g1; g2");
  EXPECT_EQ(info.CoverImagePath, "cover.jpg");
  EXPECT_EQ(info.Language, "en");
  EXPECT_EQ(info.DocumentDate, " 1.01.2026 ");
  EXPECT_EQ(info.DocumentDateText, "text");
  EXPECT_EQ(info.DocumentId, "ID");
  EXPECT_EQ(info.DocumentVersion, "2");
  EXPECT_EQ(info.SourceUrls, "http://a.example/");
  const DocumentAuthorInfo& d = info.DocumentAuthor;
  EXPECT_EQ(d.FirstName + d.MiddleName + d.LastName + d.NickName + d.HomePages + d.EMails,
            "fmlnhe");
}

}  // namespace
}  // namespace fb2meta
