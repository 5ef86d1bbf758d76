#include "platform/ScratchFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(ScratchFolder, IsMadeOnFirstUsePrivateAndRemovedWithItsFiles) {
  std::string path;
  {
    platform::ScratchFolder scratch;
    EXPECT_FALSE(scratch.Created());
    path = scratch.Path();
    EXPECT_TRUE(scratch.Created());
    ASSERT_EQ(path.back(), '/');
    EXPECT_EQ(scratch.Path(), path) << "one folder per object";
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    const std::string file = scratch.FilePath("picture~temp.jpg");
    EXPECT_EQ(file, path + "picture~temp.jpg");
    std::ofstream(file) << "x";
    std::filesystem::create_directory(path + "sub");
    std::ofstream(path + "sub/inner") << "y";

    platform::ScratchFolder other;
    EXPECT_NE(other.Path(), path);
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
