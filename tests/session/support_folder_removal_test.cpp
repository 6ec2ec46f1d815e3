// Removing a support folder: everything in it goes, read-only files included, but a link in it
// (here a Linux symbolic link, which Wine reports as a reparse point) is not followed, so the
// folder it points to keeps its files. The tree is made before the test by the CTest fixture
// support_folder_links (a shell step: Windows calls here cannot create links).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "file_system.h"

namespace {

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(SupportFolderRemoval, RemovesItsContentsButDoesNotFollowLinks) {
    const std::string base = QOR_LINK_TREE;
    const std::string tree = base + "tree\\";
    ASSERT_TRUE(Exists(tree + "link\\keep.txt")) << "the fixture step did not run";
    ASSERT_TRUE(WriteNewFile(tree + "locked.txt", "read-only").ok);
    ASSERT_TRUE(SetFileAttributesA((tree + "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    RemoveFolderTree(tree, 3);

    EXPECT_FALSE(Exists(tree + "file.txt"));
    EXPECT_FALSE(Exists(tree + "locked.txt"));
    EXPECT_FALSE(Exists(tree + "sub"));
    EXPECT_TRUE(Exists(base + "outside\\keep.txt"));
    EXPECT_TRUE(Exists(base + "outside\\deep\\keep.txt"));
}

}  // namespace
