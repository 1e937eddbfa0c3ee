#include <gtest/gtest.h>
#include <sys/stat.h>

#include "installer/package/folder_tree.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;
using test::WriteFile;

TEST(FolderByteSize, AddsFilesBelowWithoutFollowingLinks) {
    TestFolder folder;
    fs::create_directories(folder / "t" / "a" / "b");
    WriteFile(folder / "t" / "one", std::string(10, '1'));
    WriteFile(folder / "t" / "a" / "two", std::string(200, '2'));
    WriteFile(folder / "t" / "a" / "b" / "three", std::string(3000, '3'));
    WriteFile(folder / "outside", std::string(40000, 'x'));
    fs::create_symlink(folder / "outside", folder / "t" / "link");
    fs::create_directory_symlink(folder.Path(), folder / "t" / "a" / "loop");
    EXPECT_EQ(FolderByteSize(folder / "t"), 3210u);
    EXPECT_EQ(FolderByteSize(folder / "missing"), 0u);
}

TEST(RemoveFolderTree, RemovesReadOnlyFilesAndFoldersButNotLinkTargets) {
    TestFolder folder;
    fs::create_directories(folder / "t" / "locked" / "deep");
    WriteFile(folder / "t" / "ro.txt", "r");
    WriteFile(folder / "t" / "locked" / "deep" / "x", "x");
    chmod((folder / "t" / "ro.txt").c_str(), 0444);
    chmod((folder / "t" / "locked" / "deep").c_str(), 0555);
    chmod((folder / "t" / "locked").c_str(), 0555);
    fs::create_directories(folder / "keep");
    WriteFile(folder / "keep" / "precious", "p");
    fs::create_directory_symlink(folder / "keep", folder / "t" / "link");
    RemoveFolderTree(folder / "t");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "t")));
    EXPECT_TRUE(fs::exists(folder / "keep" / "precious"));
    // An empty or missing path is left alone.
    RemoveFolderTree("");
    RemoveFolderTree(folder / "missing");
    EXPECT_TRUE(fs::exists(folder.Path()));
}

TEST(FindNoCase, PrefersTheExactNameThenAnyCase) {
    TestFolder folder;
    WriteFile(folder / "Manifest.Data", "m");
    WriteFile(folder / "icon.png", "i");
    WriteFile(folder / "ICON.PNG", "I");
    EXPECT_EQ(FindNoCase(folder.Path(), "manifest.data"), folder / "Manifest.Data");
    EXPECT_EQ(FindNoCase(folder.Path(), "icon.png"), folder / "icon.png");
    EXPECT_FALSE(FindNoCase(folder.Path(), "other"));
    EXPECT_FALSE(FindNoCase(folder / "missing", "x"));
}

}  // namespace
}  // namespace tarnel
