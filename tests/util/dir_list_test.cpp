#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/current_dir.h"
#include "support/host_files.h"
#include "support/temp_dir.h"
#include "support/utf8_text.h"
#include "util/fs/dir_list.h"
#include "util/fs/folder_listings.h"
#include "util/fs/stored_name.h"

namespace {

using listing = std::vector<std::pair<std::wstring, std::uint64_t>>;

listing paths_and_sizes(const C_dir_list& list)
{
    listing result;
    for (const dir_entry& entry : list.entries) {
        EXPECT_FALSE(entry.is_folder) << std::string(entry.path.begin(), entry.path.end());
        result.emplace_back(entry.path, entry.size);
    }
    return result;
}

// The names of a folder's items in the order the platform delivers them, so
// that the expected order does not depend on how the file system sorts.
std::vector<std::wstring> delivered_names(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW item;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &item);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = item.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &item));
    FindClose(find);
    return names;
}

TEST(DirList, NestedTreeListsFilesDepthFirstWithTheirSizes)
{
    C_temp_dir temp;
    const std::wstring root = temp / L"movie";
    write_file(root + L"\\a.dat", std::string(10, 'a'));
    write_file(root + L"\\sub\\b.dat", std::string(200, 'b'));
    write_file(root + L"\\sub\\deep\\z.dat", std::string(3000, 'z'));
    write_file(root + L"\\zz.dat", std::string(40000, 'z'));
    make_folder(root + L"\\sub\\empty");

    // Each subfolder's files must stand exactly where that subfolder is met.
    const std::vector<std::wstring> top = delivered_names(root);
    const std::vector<std::wstring> in_sub = delivered_names(root + L"\\sub");
    std::vector<std::wstring> expected;
    for (const auto& name : top) {
        if (name != L"sub") {
            expected.push_back(name);
            continue;
        }
        for (const auto& inner : in_sub) {
            if (inner == L"deep") expected.push_back(L"sub\\deep\\z.dat");
            else if (inner == L"b.dat") expected.push_back(L"sub\\b.dat");
        }
    }
    ASSERT_EQ(expected.size(), 4u);

    C_dir_list list;
    EXPECT_TRUE(list.list(root, L"*", L"*", true));
    std::vector<std::wstring> got;
    for (const auto& entry : list.entries) got.push_back(entry.path);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(list.total_size, 10u + 200u + 3000u + 40000u);
    EXPECT_EQ(list.base, root + L"\\");

    C_dir_list flat;
    EXPECT_TRUE(flat.list(root, L"*", L"*", false));
    EXPECT_EQ(flat.entries.size(), 2u);
    EXPECT_EQ(flat.total_size, 10u + 40000u);
    EXPECT_TRUE(flat.unlisted.empty());

    // Listed once per folder, the tree walks in the same order.
    C_folder_listings listings;
    std::vector<std::wstring> walked;
    EXPECT_TRUE(listings.for_each_file(root, [&](const std::wstring& rel, const dir_entry&) { walked.push_back(rel); }));
    EXPECT_EQ(walked, expected);
}

TEST(DirList, FiltersCompareTheWholeNameAndExtensionIgnoringCase)
{
    C_temp_dir temp;
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\Data.Pak", std::string(123, 'd'));
    write_file(temp / L"gamedata\\data.pak.bak", std::string(1000, 'x'));
    write_file(temp / L"gamedata\\data2.pak", std::string(2000, 'x'));
    write_file(temp / L"gamedata\\mydata.pak", std::string(3000, 'x'));
    write_file(temp / L"gamedata\\sub\\data.pak", std::string(4000, 'x'));

    C_dir_list list;
    EXPECT_TRUE(list.list(L"gamedata", L"DATA", L"PAK", false));
    EXPECT_EQ(paths_and_sizes(list), (listing{{L"Data.Pak", 123}}));
    EXPECT_EQ(list.total_size, 123u);
    EXPECT_EQ(list.name_filter, L"DATA");
    EXPECT_EQ(list.ext_filter, L"PAK");
    EXPECT_TRUE(list.with_files);
    EXPECT_FALSE(list.with_folders);

    // Under recursion the name filter is held against the whole relative path.
    C_dir_list nested;
    EXPECT_TRUE(nested.list(L"gamedata", L"SUB\\Data", L"pak", true));
    EXPECT_EQ(paths_and_sizes(nested), (listing{{L"sub\\data.pak", 4000}}));

    // An empty extension filter takes only the file without an extension.
    write_file(temp / L"gamedata\\readme", "12345");
    write_file(temp / L"gamedata\\readme.txt", "1234567890");
    C_dir_list no_extension;
    EXPECT_TRUE(no_extension.list(L"gamedata", L"readme", L"", false));
    EXPECT_EQ(paths_and_sizes(no_extension), (listing{{L"readme", 5}}));

    // Letters beyond ASCII match in either case too: full-width and accented capitals.
    write_file(temp / L"gamedata\\\xFF21\xFF22.\x00C9", "wide");
    C_dir_list wide;
    EXPECT_TRUE(wide.list(L"gamedata", L"\xFF41\xFF42", L"\x00E9", false));
    EXPECT_EQ(paths_and_sizes(wide), (listing{{L"\xFF21\xFF22.\x00C9", 4}}));
}

TEST(DirList, ListedFolderFindsItemsByNameAsTheFiltersDo)
{
    C_temp_dir temp;
    write_file(temp / L"Data.Pak", "d");
    write_file(temp / L"data.pak.bak", "b");
    write_file(temp / L"readme", "r");
    write_file(temp / L"\xFF21\xFF22.\x00C9", "w");
    make_folder(temp / L"data.pak2");
    for (int i = 0; i < 300; ++i) write_file(temp / (L"v" + std::to_wstring(i) + L".ogg"), "v");

    int progress = 0;
    C_folder_listings listings([&progress] { ++progress; });
    const C_listed_folder& listed = listings.folder(temp.path());
    EXPECT_TRUE(listed.complete);
    EXPECT_EQ(&listings.folder(temp.path()), &listed) << "listed once";
    EXPECT_EQ(progress, 1) << "once every 256 items";

    const auto names = [&](const std::wstring& name) {
        std::vector<std::wstring> found;
        for (const dir_entry* item : listed.named(name)) found.push_back(item->path);
        return found;
    };
    EXPECT_EQ(names(L"DATA.pak"), std::vector<std::wstring>{L"Data.Pak"});
    EXPECT_EQ(names(L"README"), std::vector<std::wstring>{L"readme"});
    EXPECT_EQ(names(L"\xFF41\xFF42.\x00E9"), std::vector<std::wstring>{L"\xFF21\xFF22.\x00C9"});
    EXPECT_EQ(names(L"v299.OGG"), std::vector<std::wstring>{L"v299.ogg"});
    EXPECT_EQ(names(L"data"), std::vector<std::wstring>{});
    EXPECT_EQ(names(L"data.pak2"), std::vector<std::wstring>{L"data.pak2"});

    EXPECT_FALSE(listings.folder(temp / L"missing").complete);
}

TEST(DirList, NamesCompareAsTheSystemComparesThemIgnoringCase)
{
    const std::vector<std::wstring> names = {L"", L"a", L"A", L"ab", L"aB.ogg", L"_x", L"[x", L"Zz", L"zZ~1",
                                             L"v00001.ogg", L"V00001.OGG", L"v00001.ogg.", L"I", L"\x0131",
                                             L"\x0130", L"i", L"\xFF21", L"\xFF41", L"a\x00E9", L"A\x00C9", L"a\x00E9z",
                                             L"\x00E9", L"\x03A3", L"\x03C3", L"\x03C2", L"K", L"\x212A"};
    for (const auto& a : names) {
        for (const auto& b : names) {
            const int system = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                    static_cast<int>(b.size()), TRUE) - CSTR_EQUAL;
            const int ours = compare_names(a.c_str(), a.size(), b.c_str(), b.size());
            EXPECT_EQ((ours > 0) - (ours < 0), system) << to_utf8(a) << " / " << to_utf8(b);
        }
    }
}

TEST(DirList, UnlistableFolderIsNamedAndTheRestOfTheTreeStillListed)
{
    C_temp_dir temp;
    write_file(temp / L"root\\a.dat", "a");
    write_file(temp / L"root\\locked\\b.dat", "b");
    write_file(temp / L"root\\open\\c.dat", "c");
    C_listing_denied denied(temp / L"root\\locked");
    std::string why_not;
    if (!denied.in_effect(why_not)) GTEST_SKIP() << why_not;

    C_dir_list list;
    EXPECT_TRUE(list.list(temp / L"root", L"*", L"*", true));
    std::vector<std::wstring> got;
    for (const auto& entry : list.entries) got.push_back(entry.path);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::wstring>{L"a.dat", L"open\\c.dat"}));
    EXPECT_EQ(list.unlisted, std::vector<std::wstring>{temp / L"root\\locked"});

    std::vector<dir_entry> items;
    EXPECT_FALSE(list_folder_items(temp / L"root\\locked", items));
    C_folder_listings listings;
    EXPECT_FALSE(listings.for_each_file(temp / L"root", [](const std::wstring&, const dir_entry&) {}));
}

TEST(DirList, FolderNamedLikeTheFileIsNotCollected)
{
    C_temp_dir temp;
    write_file(temp / L"gamedata\\data.pak\\inner.dat", "inner");
    write_file(temp / L"gamedata\\other.pak", "other");

    C_dir_list list;
    EXPECT_FALSE(list.list(temp / L"gamedata", L"data", L"pak", false));
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(list.total_size, 0u);
}

TEST(DirList, SecondCallReplacesEntriesAndAddsToTheTotal)
{
    C_temp_dir temp;
    write_file(temp / L"one\\a.dat", std::string(7, 'a'));
    write_file(temp / L"two\\b.dat", std::string(11, 'b'));
    write_file(temp / L"two\\c.dat", std::string(13, 'c'));

    C_dir_list list;
    EXPECT_TRUE(list.list(temp / L"one", L"*", L"*", true));
    EXPECT_TRUE(list.list(temp / L"two", L"b", L"dat", false));
    EXPECT_EQ(paths_and_sizes(list), (listing{{L"b.dat", 11}}));
    EXPECT_EQ(list.total_size, 7u + 11u);

    // A folder that is missing or empty collects nothing and leaves the total alone.
    make_folder(temp / L"empty");
    EXPECT_FALSE(list.list(temp / L"missing", L"*", L"*", true));
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(list.unlisted, std::vector<std::wstring>{temp / L"missing"});
    EXPECT_FALSE(list.list(temp / L"empty", L"*", L"*", true));
    EXPECT_TRUE(list.unlisted.empty());
    EXPECT_EQ(list.total_size, 7u + 11u);
}

TEST(DirList, FileLargerThan4GiBCountsWithItsFullSize)
{
    C_temp_dir temp;
    const std::uint64_t large = (std::uint64_t{1} << 32) + 4096 + 5;
    make_folder(temp / L"big");
    ASSERT_TRUE(make_large_file(temp / L"big\\huge.bin", large));
    write_file(temp / L"big\\small.bin", "abc");

    C_dir_list list;
    EXPECT_TRUE(list.list(temp / L"big", L"*", L"*", false));
    listing got = paths_and_sizes(list);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (listing{{L"huge.bin", large}, {L"small.bin", 3}}));
    EXPECT_EQ(list.total_size, large + 3);
}

}  // namespace
