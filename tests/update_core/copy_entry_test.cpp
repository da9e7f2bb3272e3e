#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/current_dir.h"
#include "support/host_files.h"
#include "support/temp_dir.h"
#include "support/utf8_text.h"
#include "update_core/copy_entry.h"
#include "util/fs/dir_list.h"
#include "util/fs/entry_path.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"
#include "util/fs/stored_name.h"

namespace {

// What an entry stood for when every entry was looked up and listed on its
// own: its kind from its file attributes, then C_dir_list on its folder, or on
// the folder of its file with the file's name as the filters.
C_copy_entry listed_on_its_own(const std::wstring& source_dir, const std::wstring& entry)
{
    C_copy_entry result;
    result.rel = entry_to_relative_path(entry);
    const std::wstring path = path_join(source_dir, result.rel);
    result.kind = get_path_kind(path);
    C_dir_list list;
    std::wstring folder_part;
    if (result.kind == path_kind::folder) {
        list.list(path, L"*", L"*", true);
        folder_part = result.rel;
    } else if (result.kind == path_kind::file) {
        const std::wstring name = path_get_file_name(result.rel);
        if (name.size() < result.rel.size()) folder_part = path_get_folder(result.rel);
        list.list(folder_part.empty() ? source_dir : path_join(source_dir, folder_part), path_erase_extension(name),
                  path_get_extension(name), false);
    }
    for (const auto& item : list.entries) {
        result.files.push_back({folder_part.empty() ? item.path : path_join(folder_part, item.path), item.size});
    }
    result.total_size = list.total_size;
    return result;
}

// Whether each component of `rel` is found by the platform's look-up under
// its own name, asked one component at a time.
bool found_under_its_own_name(const std::wstring& source_dir, const std::wstring& rel)
{
    std::wstring current = source_dir;
    std::size_t begin = 0;
    while (begin <= rel.size()) {
        std::size_t end = rel.find(L'\\', begin);
        if (end == std::wstring::npos) end = rel.size();
        const std::wstring component = rel.substr(begin, end - begin);
        begin = end + 1;
        if (component.empty() || component == L".") continue;
        current = path_join(current, component);
        WIN32_FIND_DATAW item;
        const HANDLE find = FindFirstFileW(current.c_str(), &item);
        if (find == INVALID_HANDLE_VALUE) return false;
        FindClose(find);
        if (!names_equal(item.cFileName, component)) return false;
    }
    return true;
}

std::string described(const C_copy_entry& entry)
{
    std::string text = "kind " + std::to_string(static_cast<int>(entry.kind)) + ", " +
                       std::to_string(entry.total_size) + " bytes:";
    for (const auto& file : entry.files) text += " " + to_utf8(file.rel) + " (" + std::to_string(file.size) + ")";
    return text;
}

// Entries spelt every way a script may spell them, some many times over in one
// pass, against one shared set of listings: each finds what it found when it
// was listed on its own.
TEST(CopyEntry, ListingEachFolderOnceFindsWhatListingEachEntryFound)
{
    C_temp_dir temp;
    C_current_dir here(temp.path());
    write_file(temp / L"gamedata\\voice\\a.ogg", "lower a");
    write_file(temp / L"gamedata\\voice\\b.ogg", "b");
    write_file(temp / L"gamedata\\voice\\d.pak.ogg", "d");
    write_file(temp / L"gamedata\\voice\\Sub\\c.ogg", "c");
    write_file(temp / L"gamedata\\Readme.TXT", "readme");
    write_file(temp / L"gamedata\\noext", "no extension");
    write_file(temp / L"gamedata\\data\\x.dat", "x");
    write_file(temp / L"gamedata\\LongDataFileName.pak", "long");
    make_folder(temp / L"gamedata\\empty");

    // Names that differ only in letter case beside each other, as a folder on
    // the Linux side holds them: two files, and a file beside a folder.
    const bool twins = write_case_twin(temp / L"gamedata\\voice", L"A.ogg", "upper A") &&
                       write_case_twin(temp / L"gamedata", L"Data", "a file called Data");
    if (!twins) std::printf("no names differing only in case: not run under Wine\n");

    std::vector<std::wstring> entries = {
        L"voice", L"voice\\", L"VOICE", L"voice\\.", L".\\voice", L"voice\\Sub", L"voice\\sub\\C.OGG",
        L"voice\\a.ogg", L"voice\\A.ogg", L"voice\\A.OGG", L"Voice\\B.OGG", L"voice\\\\b.ogg", L"voice/b.ogg",
        L"voice\\d.pak.ogg", L"voice\\D.PAK.OGG", L"voice\\d.pak", L"readme.txt", L"README.TXT.", L"Readme.TXT ",
        L"noext", L"noext.", L"NOEXT", L"data", L"Data", L"DATA", L"data\\x.dat", L"empty", L"missing",
        L"voice\\missing.ogg", L"gone\\x.dat", L"voice\\*.ogg", L"voice\\?.ogg", L"readme.txt\\", L"voice\\b.ogg\\x",
    };
    wchar_t short_path[MAX_PATH] = {};
    GetShortPathNameW((temp / L"gamedata\\LongDataFileName.pak").c_str(), short_path, MAX_PATH);
    entries.push_back(path_get_file_name(short_path));
    // Every entry once more, after its folders have been listed by the others.
    const std::vector<std::wstring> once = entries;
    entries.insert(entries.end(), once.begin(), once.end());

    C_folder_listings listings;
    for (const std::wstring& entry : entries) {
        SCOPED_TRACE(to_utf8(entry));
        const C_copy_entry got = list_copy_entry(listings, L"gamedata", entry);
        const C_copy_entry before = listed_on_its_own(L"gamedata", entry);
        EXPECT_EQ(described(got), described(before));
        EXPECT_EQ(got.rel, before.rel);
        EXPECT_EQ(got.found(), before.found());
        EXPECT_EQ(entry_is_stored_as_named(listings, L"gamedata", got.rel),
                  found_under_its_own_name(L"gamedata", before.rel));
    }
}

}  // namespace
