#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/host_files.h"
#include "support/temp_dir.h"
#include "util/fs/folder_tree.h"
#include "util/fs/folder_walk.h"

namespace {

// A walk that is done at once, with `error`.
void expect_nothing_read(const std::wstring& search, DWORD error)
{
    C_folder_walk walk(search);
    EXPECT_TRUE(walk.done());
    EXPECT_EQ(walk.error(), error);
}

TEST(FolderWalk, TheEndOfAListingIsNoErrorAndAFailureGivesItsCode)
{
    C_temp_dir temp;
    write_file(temp / L"full\\a.dat", "a");
    make_folder(temp / L"empty");

    expect_nothing_read(temp / L"empty\\*", 0);
    expect_nothing_read(temp / L"full\\*.none", 0);
    expect_nothing_read(temp / L"missing\\*", ERROR_PATH_NOT_FOUND);
}

TEST(FolderWalk, UnlistableFolderGivesTheSystemsReason)
{
    C_temp_dir temp;
    write_file(temp / L"locked\\a.dat", "a");
    C_listing_denied denied(temp / L"locked");
    std::string why_not;
    if (!denied.in_effect(why_not)) GTEST_SKIP() << why_not;

    expect_nothing_read(temp / L"locked\\*", ERROR_ACCESS_DENIED);
}

TEST(FolderWalk, RemovingATreeLeavesWhatALinkInItPointsTo)
{
    C_temp_dir temp;
    write_file(temp / L"kept\\save.dat", "save");
    write_file(temp / L"tree\\a.dat", "a");
    if (!make_folder_link(temp / L"tree\\link", temp / L"kept")) {
        GTEST_SKIP() << "no folder link can be made here (on Windows it takes the right to make symbolic links)";
    }

    remove_folder_tree(temp / L"tree");

    EXPECT_FALSE(file_exists(temp / L"tree\\a.dat"));
    EXPECT_EQ(read_file(temp / L"kept\\save.dat"), "save");
    RemoveDirectoryW((temp / L"tree\\link").c_str());
    DeleteFileW((temp / L"tree\\link").c_str());
}

}  // namespace
