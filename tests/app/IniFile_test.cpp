#include "app/IniFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/Xml.h"

namespace app {
namespace {

namespace fs = std::filesystem;

struct LookupCase {
  const char* Label;
  std::string Text;
  IniKey Key;
  std::optional<std::string> Value;
};

TEST(IniLookup, FindsValuesTheWayProfileFilesDo) {
  const LookupCase cases[] = {
      {"plain", "[main]\r\nisUtf=1\r\n", {"main", "isUtf"}, "1"},
      {"names ignore case", "[MAIN]\r\nISUTF=1\r\n", {"main", "isUtf"}, "1"},
      {"blanks around names and value", "  [ main ]\n  isUtf  =  1 \t\n", {"main", "isUtf"}, "1"},
      {"LF and CR line breaks", "[a]\rk=1\r[main]\nzip=0", {"main", "zip"}, "0"},
      {"empty value", "[main]\nk=\n", {"main", "k"}, ""},
      {"value keeps later equals signs", "[u]\nUrl=a=b\n", {"u", "Url"}, "a=b"},
      {"missing key", "[main]\nzip=1\n", {"main", "isUtf"}, std::nullopt},
      {"missing section", "[other]\nisUtf=1\n", {"main", "isUtf"}, std::nullopt},
      {"key of another section", "[main]\n[other]\nisUtf=1\n", {"main", "isUtf"}, std::nullopt},
      {"key before any section", "isUtf=1\n[main]\n", {"main", "isUtf"}, std::nullopt},
      {"first of two keys", "[main]\nk=1\nk=2\n", {"main", "k"}, "1"},
      {"first of two sections", "[main]\nk=1\n[main]\nk=2\nj=3\n", {"main", "j"}, std::nullopt},
      {"comment line", "[main]\n;k=1\n", {"main", "k"}, std::nullopt},
      {"line without equals", "[main]\nk\nk=2\n", {"main", "k"}, "2"},
      {"section line without bracket", "[main\nk=1\n", {"main", "k"}, std::nullopt},
      {"empty text", "", {"main", "k"}, std::nullopt},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(c.Label);
    EXPECT_EQ(IniLookup(c.Text, c.Key), c.Value);
  }
}

TEST(IniLookup, LongValuesAreCutTo2047Bytes) {
  const std::string value(3000, 'v');
  const auto read = IniLookup("[s]\nk=" + value + "\n", {"s", "k"});
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, value.substr(0, 2047));
  EXPECT_EQ(IniLookup("[s]\nk=" + value.substr(0, 2047), {"s", "k"})->size(), 2047u);
}

struct AssignCase {
  const char* Label;
  std::string Before;
  IniKey Key;
  const char* Value;
  std::string After;
};

TEST(IniAssign, WritesInPlaceAndKeepsEveryOtherLine) {
  const AssignCase cases[] = {
      {"new file", "", {"main", "isUtf"}, "1", "[main]\r\nisUtf=1\r\n"},
      {"replaced in place",
       "; mine\r\n[Main]\r\nISUTF = 0 \r\nzip=1\r\n",
       {"main", "isUtf"},
       "1",
       "; mine\r\n[Main]\r\nisUtf=1\r\nzip=1\r\n"},
      {"appended to its section before blank lines",
       "[main]\r\nzip=1\r\n\r\n[other]\r\nx=y\r\n",
       {"main", "hyper"},
       "0",
       "[main]\r\nzip=1\r\nhyper=0\r\n\r\n[other]\r\nx=y\r\n"},
      {"appended after a section header alone",
       "[main]\n[b]\n",
       {"main", "k"},
       "v",
       "[main]\nk=v\n[b]\n"},
      {"section appended at the end, LF kept",
       "[a]\nx=1\n",
       {"main", "k"},
       "v",
       "[a]\nx=1\n[main]\nk=v\n"},
      {"text without final line break", "[a]\nx=1", {"main", "k"}, "v", "[a]\nx=1\n[main]\nk=v\n"},
      {"own section ends the text without line break",
       "[main]\r\nx=1",
       {"main", "k"},
       "v",
       "[main]\r\nx=1\r\nk=v\r\n"},
      {"first of two sections",
       "[s]\na=1\n[s]\nb=2\n",
       {"s", "b"},
       "3",
       "[s]\na=1\nb=3\n[s]\nb=2\n"},
      {"a line break in the value cannot add lines",
       "",
       {"s", "k"},
       "a\r\n[x]\nb",
       "[s]\r\nk=a  [x] b\r\n"},
      {"comments and junk stay",
       "junk\n[s]\n;c\nnoequals\nk=1\n",
       {"s", "k"},
       "2",
       "junk\n[s]\n;c\nnoequals\nk=2\n"},
  };
  for (const AssignCase& c : cases) {
    SCOPED_TRACE(c.Label);
    const std::string after = IniAssign(c.Before, c.Key, c.Value);
    EXPECT_EQ(after, c.After);
    EXPECT_EQ(IniLookup(after, c.Key), IniLookup(c.After, c.Key));
  }
}

TEST(ParseIniInteger, DecimalAndHexadecimal) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"0", 0},
      {"580", 580},
      {"-12", -12},
      {"+7", 7},
      {" 42 ", 42},
      {"0x1F", 31},
      {"0XfF", 255},
      {"-0x10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"0x80000000", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"0x", std::nullopt},
      {"12abc", std::nullopt},
      {"1.5", std::nullopt},
      {"true", std::nullopt},
      {"0x1G", std::nullopt},
      {"1 2", std::nullopt},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseIniInteger(text), value);
  }
}

class IniFileTest : public ::testing::Test {
 protected:
  IniFileTest()
      : folder(fs::temp_directory_path() / ("vellumor_ini_" + std::to_string(::getpid()))) {
    fs::create_directories(folder);
  }
  ~IniFileTest() override { fs::remove_all(folder); }

  std::string PathOf(const char* name) const { return (folder / name).string(); }
  // Files in the folder other than the settings file (temporaries must not stay behind).
  size_t FileCount() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
  }

  fs::path folder;
};

TEST_F(IniFileTest, ReadsTypedValuesWithDefaults) {
  const std::string path = PathOf("a.ini");
  testsupport::WriteFile(path,
                         "[IntValues]\nSpinEdit1=0x100\nSpinEdit2=wide\n[main]\n"
                         "isUtf=1\nzip=0\nhyper=yes\nTbFontName=Verdana\n");
  const IniFile file(path);
  EXPECT_EQ(file.ReadInteger({"intvalues", "spinedit1"}, 5), 256);
  EXPECT_EQ(file.ReadInteger({"IntValues", "SpinEdit2"}, 5), 5);
  EXPECT_EQ(file.ReadInteger({"IntValues", "Missing"}, -3), -3);
  EXPECT_TRUE(file.ReadBool({"main", "isUtf"}, false));
  EXPECT_FALSE(file.ReadBool({"main", "zip"}, true));
  EXPECT_TRUE(file.ReadBool({"main", "hyper"}, true));  // not a number: the default
  EXPECT_EQ(file.ReadString({"MAIN", "tbfontname"}, "Tahoma"), "Verdana");
  EXPECT_EQ(file.ReadString({"main", "none"}, "Tahoma"), "Tahoma");
  EXPECT_TRUE(file.SectionExists("Main"));
  EXPECT_FALSE(file.SectionExists("CheckBoxes"));

  const IniFile missing(PathOf("missing.ini"));
  EXPECT_EQ(missing.ReadInteger({"main", "k"}, 9), 9);
  EXPECT_FALSE(missing.SectionExists("main"));
}

TEST_F(IniFileTest, WritesGoToTheFileAtOnce) {
  const std::string path = PathOf("b.ini");
  IniFile writer(path);
  writer.WriteInteger({"Position", "PosX"}, -20);
  writer.WriteBool({"main", "isUtf"}, true);
  writer.WriteString({"Edits", "ELang"}, " ru ");
  EXPECT_EQ(testsupport::ReadFile(path),
            "[Position]\r\nPosX=-20\r\n[main]\r\nisUtf=1\r\n[Edits]\r\nELang= ru \r\n");
  // A second object sees the writes of the first and keeps them when it writes.
  IniFile other(path);
  EXPECT_EQ(other.ReadInteger({"position", "posx"}, 0), -20);
  other.WriteBool({"MAIN", "ISUTF"}, false);
  writer.WriteInteger({"Position", "PosY"}, 7);
  EXPECT_EQ(testsupport::ReadFile(path),
            "[Position]\r\nPosX=-20\r\nPosY=7\r\n[main]\r\nISUTF=0\r\n[Edits]\r\nELang= ru \r\n");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(IniFileTest, AFailedWriteSaysWhereAndChangesNothing) {
  const std::string path = PathOf("no-such-folder/c.ini");
  IniFile file(path);
  try {
    file.WriteBool({"main", "zip"}, true);
    FAIL() << "the write should fail";
  } catch (const IniWriteError& e) {
    EXPECT_STREQ(e.what(), ("Unable to write to " + path).c_str());
    EXPECT_EQ(e.Path(), path);
  }
  // A folder where the file should be: nothing is replaced, nothing left behind.
  fs::create_directory(PathOf("d.ini"));
  IniFile folderFile(PathOf("d.ini"));
  EXPECT_THROW(folderFile.WriteBool({"main", "zip"}, true), IniWriteError);
  EXPECT_TRUE(fs::is_directory(PathOf("d.ini")));
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(IniFileTest, ReadOnlyFolderKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string path = PathOf("e.ini");
  testsupport::WriteFile(path, "[main]\nzip=0\n");
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  IniFile file(path);
  EXPECT_THROW(file.WriteBool({"main", "zip"}, true), IniWriteError);
  fs::permissions(folder, fs::perms::owner_all);
  EXPECT_EQ(testsupport::ReadFile(path), "[main]\nzip=0\n");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(IniFileTest, ReplacingKeepsPermissionsAndFollowsLinks) {
  const std::string target = PathOf("real.ini");
  testsupport::WriteFile(target, "[main]\nzip=0\n");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(target, PathOf("link.ini"));
  IniFile file(PathOf("link.ini"));
  file.WriteBool({"main", "zip"}, true);
  EXPECT_TRUE(fs::is_symlink(PathOf("link.ini")));
  EXPECT_EQ(testsupport::ReadFile(target), "[main]\nzip=1\n");
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace app
