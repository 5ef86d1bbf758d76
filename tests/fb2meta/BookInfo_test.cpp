#include "fb2meta/BookInfo.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "fb2meta/ProfileStore.h"

namespace fb2meta {
namespace {

// Keys in memory; writes can be made to fail from a given key on.
class MemoryStore : public ProfileStore {
 public:
  std::map<std::string, std::string> Values;  // "section/key"
  std::vector<std::string> Writes;
  std::string FailAt;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const override {
    auto it = Values.find(Name(section, key));
    return it == Values.end() ? std::string(defaultValue) : it->second;
  }
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const override {
    auto it = Values.find(Name(section, key));
    return it == Values.end() ? defaultValue : it->second != "0";
  }
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value) override {
    std::string name = Name(section, key);
    if (name == FailAt) return false;
    Writes.push_back(name);
    Values[name] = std::string(value);
    return true;
  }
  bool WriteBool(std::string_view section, std::string_view key, bool value) override {
    return WriteString(section, key, value ? "1" : "0");
  }

 private:
  static std::string Name(std::string_view section, std::string_view key) {
    return std::string(section) + "/" + std::string(key);
  }
};

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

TEST(BookInfo, DocumentAuthorComesFromTheDocInfoKeys) {
  MemoryStore store;
  store.Values = {{"DocInfo/AFName", "Ivan"},
                  {"DocInfo/ALName", "Petrov"},
                  {"DocInfo/Nick", "ivp"},
                  {"DocInfo/Url", "http://a.example/"},
                  {"DocInfo/Mail", "a@b.c"}};
  BookInfo info = FilledBook();
  LoadDocumentAuthor(info, store);
  const DocumentAuthorInfo& d = info.DocumentAuthor;
  EXPECT_EQ(d.FirstName, "Ivan");
  EXPECT_EQ(d.LastName, "Petrov");
  EXPECT_EQ(d.MiddleName, "");  // missing keys give empty text
  EXPECT_EQ(d.NickName, "ivp");
  EXPECT_EQ(d.HomePages, "");
  EXPECT_EQ(d.EMails, "a@b.c");
  EXPECT_EQ(info.SourceUrls, "http://a.example/");
}

TEST(BookInfo, DialogSettingsDefaultsAndStoredValues) {
  MemoryStore store;
  BookInfoDialogSettings defaults = LoadBookInfoDialogSettings(store);
  EXPECT_EQ(defaults.FileNameVariant, 1);
  EXPECT_FALSE(defaults.PackToZip);
  EXPECT_FALSE(defaults.DocumentAuthorTabStops);

  store.Values = {{"BookInfo/FManeVar", "0"}, {"main/zip", "1"}, {"BookInfo/atabstop", "1"}};
  BookInfoDialogSettings stored = LoadBookInfoDialogSettings(store);
  EXPECT_EQ(stored.FileNameVariant, 2);
  EXPECT_TRUE(stored.PackToZip);
  EXPECT_TRUE(stored.DocumentAuthorTabStops);
}

TEST(BookInfo, ClosingWritesTheDocumentAuthorThenTheDialogKeys) {
  BookInfo info = FilledBook();
  info.FileNameVariant = 2;
  MemoryStore store;
  ASSERT_TRUE(SaveBookInfoDialogSettings(info, store));
  EXPECT_EQ(store.Writes,
            (std::vector<std::string>{"DocInfo/AFName", "DocInfo/ALName", "DocInfo/AMName",
                                      "DocInfo/Nick", "DocInfo/Home", "DocInfo/Mail", "DocInfo/Url",
                                      "BookInfo/FManeVar", "BookInfo/atabstop"}));
  EXPECT_EQ(store.Values["DocInfo/ALName"], " l ");  // stored as typed
  EXPECT_EQ(store.Values["BookInfo/FManeVar"], "0");
  EXPECT_EQ(store.Values["BookInfo/atabstop"], "1");

  // A key that cannot be written stops the save; the keys before it stay written.
  MemoryStore failing;
  failing.FailAt = "DocInfo/Home";
  EXPECT_FALSE(SaveBookInfoDialogSettings(info, failing));
  EXPECT_EQ(failing.Writes.size(), 4u);
}

}  // namespace
}  // namespace fb2meta
