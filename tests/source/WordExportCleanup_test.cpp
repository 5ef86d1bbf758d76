#include "source/WordExportCleanup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempFolder.h"
#include "support/Xml.h"

namespace source {
namespace {

namespace fs = std::filesystem;

TEST(DeleteFolderTreeTest, RemovesNestedAndReadOnlyEntries) {
  testsupport::TempFolder dir;
  const fs::path tree = dir.Path() / "Book.files";
  fs::create_directories(tree / "inner" / "deeper");
  testsupport::WriteFile((tree / "a.png").string(), "png");
  testsupport::WriteFile((tree / "inner" / "deeper" / "b.jpg").string(), "jpg");
  fs::permissions(tree / "a.png", fs::perms::owner_read, fs::perm_options::replace);
  // A folder without write permission: its entries could not be removed as it is.
  fs::permissions(tree / "inner" / "deeper", fs::perms::owner_read | fs::perms::owner_exec,
                  fs::perm_options::replace);
  DeleteFolderTree(tree.string());
  EXPECT_FALSE(fs::exists(tree));
}

TEST(DeleteFolderTreeTest, NeverFollowsALinkOutOfTheFolder) {
  testsupport::TempFolder dir;
  const fs::path outside = dir.Path() / "outside";
  fs::create_directories(outside / "sub");
  testsupport::WriteFile((outside / "keep.txt").string(), "keep");
  testsupport::WriteFile((outside / "sub" / "keep2.txt").string(), "keep");
  fs::permissions(outside / "sub", fs::perms::owner_read | fs::perms::owner_exec,
                  fs::perm_options::replace);
  const fs::path tree = dir.Path() / "Book.files";
  fs::create_directory(tree);
  fs::create_directory_symlink(outside, tree / "folder-link");
  fs::create_symlink(outside / "keep.txt", tree / "file-link");
  fs::create_directory_symlink(outside / "sub", tree / "sub-link");

  DeleteFolderTree(tree.string());
  EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
  EXPECT_EQ(testsupport::ReadFile((outside / "keep.txt").string()), "keep");
  EXPECT_TRUE(fs::exists(outside / "sub" / "keep2.txt"));
  // The permissions of what a link pointed to are untouched.
  EXPECT_EQ(fs::status(outside / "sub").permissions() & fs::perms::owner_write, fs::perms::none);
  fs::permissions(outside / "sub", fs::perms::owner_all, fs::perm_options::add);

  // A folder argument that is itself a link loses only the link.
  fs::create_directory_symlink(outside, dir.Path() / "linked.files");
  DeleteFolderTree((dir.Path() / "linked.files").string());
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path() / "linked.files")));
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));
}

TEST(RemoveWordExportTest, RemovesTheExportAndItsFolderKeepingLetterCase) {
  testsupport::TempFolder dir;
  testsupport::WriteFile(dir / "My_Book.HTM", "<html>");
  fs::create_directory(dir / "My_Book.files");
  testsupport::WriteFile(dir / "My_Book.files/p.png", "png");
  // The lower-cased names are other files here and must stay.
  testsupport::WriteFile(dir / "my_book.htm", "other");
  fs::create_directory(dir / "my_book.files");
  testsupport::WriteFile(dir / "My Book.doc", "doc");

  RemoveWordExport(dir / "My_Book.HTM");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"My Book.doc", "my_book.files", "my_book.htm"}));
  RemoveWordExport("");  // nothing
  RemoveWordExport(dir / "Gone.htm");
  EXPECT_EQ(dir.Names().size(), 3u);
}

}  // namespace
}  // namespace source
