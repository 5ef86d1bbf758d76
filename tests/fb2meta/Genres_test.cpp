#include "fb2meta/Genres.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/Xml.h"

namespace fb2meta {
namespace {

class GenreFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() /
        ("vellumor_genres_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string Write(std::string_view bytes) {
    std::string path = (folder_ / "FictionBookGenres.txt").string();
    testsupport::WriteFile(path, bytes);
    return path;
  }
  std::filesystem::path folder_;
};

TEST_F(GenreFileTest, OneEntryPerLineAsWritten) {
  EXPECT_EQ(ReadGenreFile(Write("sf\r\n detective \n\nprose\rpoetry\r\n")),
            (std::vector<std::string>{"sf", " detective ", "", "prose", "poetry"}));
  EXPECT_EQ(ReadGenreFile(Write("sf\nlast")), (std::vector<std::string>{"sf", "last"}));
  EXPECT_EQ(ReadGenreFile(Write("sf\n\n")), (std::vector<std::string>{"sf", ""}));
  EXPECT_TRUE(ReadGenreFile(Write("")).empty());
  EXPECT_TRUE(ReadGenreFile((folder_ / "missing.txt").string()).empty());
}

TEST(Genres, ShippedFileSitsBesideTheProgram) {
  std::vector<std::string> genres =
      ReadGenreFile(std::string(VELLUMOR_BIN_DIR) + "/" + std::string(kGenreFileName));
  ASSERT_GT(genres.size(), 100u);
  EXPECT_NE(std::find(genres.begin(), genres.end(), "sf_history"), genres.end());
  for (const std::string& genre : genres) {
    EXPECT_FALSE(genre.empty());
    EXPECT_EQ(genre.find_first_of(" \t\r;"), std::string::npos) << genre;
  }
}

TEST(Genres, SplittingTheGenreText) {
  struct Case {
    const char* Text;
    std::vector<std::string> Chosen;
  } cases[] = {
      {"", {}},
      {"  sf  ", {"sf"}},
      {"sf_history; adventure", {"sf_history", "adventure"}},
      {"a; ;b", {"a", "", "b"}},
      {"a;", {"a"}},
      {";a", {"", "a"}},
      {"a; b ;  ", {"a", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitGenreText(c.Text), c.Chosen) << c.Text;
}

TEST(Genres, JoiningSkipsTheSeparatorWhileTheTextIsEmpty) {
  EXPECT_EQ(JoinGenres({"sf_history", "adventure"}), "sf_history; adventure");
  EXPECT_EQ(JoinGenres({"a", "", "b"}), "a; ; b");
  EXPECT_EQ(JoinGenres({"", "a"}), "a");
  EXPECT_EQ(JoinGenres({}), "");
  // A text reloaded and closed with "Ok" unchanged comes back the same.
  EXPECT_EQ(JoinGenres(SplitGenreText("a; ; b")), "a; ; b");
}

TEST(Genres, PickerCommands) {
  const std::vector<std::string> available = {"sf_history", "adventure", "prose", "Poetry"};
  GenrePicker picker(available, "prose");
  EXPECT_FALSE(picker.AddToDoc(0));
  EXPECT_FALSE(picker.AddToDoc(1));
  EXPECT_EQ(picker.Result(), "prose; sf_history; adventure");
  // The same genre again closes the picker as "Ok" instead of adding a duplicate.
  EXPECT_TRUE(picker.AddToDoc(1));
  EXPECT_EQ(picker.Chosen().size(), 3u);
  EXPECT_FALSE(picker.AddToDoc(99));

  picker.Delete({2, 0, 2, 7});
  EXPECT_EQ(picker.Result(), "sf_history");
  picker.Clear();
  EXPECT_EQ(picker.Result(), "");

  // Letter case is ignored when looking for the entry.
  GenrePicker cased(available, "POETRY");
  EXPECT_TRUE(cased.AddToDoc(3));
  EXPECT_EQ(cased.Result(), "POETRY");
}

TEST(Genres, PickerWithoutGenreFileAddsNothing) {
  const std::vector<std::string> none;
  GenrePicker picker(none, "sf");
  EXPECT_FALSE(picker.AddToDoc(0));
  picker.Clear();
  EXPECT_EQ(picker.Result(), "");
}

TEST(Genres, EditDistanceCountsSingleByteEdits) {
  struct Case {
    const char* A;
    const char* B;
    size_t Distance;
  } cases[] = {
      {"", "", 0},
      {"sf", "", 2},
      {"", "sf", 2},
      {"sf", "sf", 0},
      {"sf", "SF", 2},
      {"kitten", "sitting", 3},
      {"advnture", "adventure", 1},
      {"sf_fantasyy", "sf_fantasy", 1},
      {"ab", "ba", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EditDistance(c.A, c.B), c.Distance) << c.A << " / " << c.B;
    EXPECT_EQ(EditDistance(c.B, c.A), c.Distance) << c.B << " / " << c.A;
  }
}

TEST(Genres, NearestGenresNearestFirstInListOrderOnTies) {
  const std::vector<std::string> available = {"sf_horror", " sf ",       "",     "sf_humor",
                                              "sf",        "sf_history", "prose"};
  EXPECT_EQ(NearestGenres("sf_humour", available),
            (std::vector<std::string>{"sf_humor", "sf_horror", "sf_history"}));
  // Trimmed, each once, empty entries skipped.
  EXPECT_EQ(NearestGenres("SF", available, 2), (std::vector<std::string>{"sf", "prose"}));
  EXPECT_EQ(NearestGenres("x", available, 0), std::vector<std::string>{});
  EXPECT_EQ(NearestGenres("x", {}), std::vector<std::string>{});
  // Against the shipped file: a typo finds the code meant.
  const std::vector<std::string> shipped =
      ReadGenreFile(std::string(VELLUMOR_BIN_DIR) + "/" + std::string(kGenreFileName));
  EXPECT_EQ(NearestGenres("advnture", shipped, 1), std::vector<std::string>{"adventure"});
}

}  // namespace
}  // namespace fb2meta
