#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "file/error_text.h"
#include "support/host_files.h"
#include "support/temp_dir.h"
#include "support/tree_snapshot.h"
#include "support/utf8_text.h"
#include "update_core/script_parser.h"
#include "update_core/sha256.h"
#include "update_make/script_writer.h"
#include "update_make/update_maker.h"
#include "update_make/update_plan.h"
#include "util/fs/long_path.h"
#include "util/fs/path.h"
#include "util/text/code_page_932.h"
#include "console/console_progress.h"
#include "console/wildcard.h"

// The maker of an update: its pure pieces by tables, then whole makes on real
// release folders in a temporary folder.

namespace {

TEST(ExcludePatterns, MatchRelativePathsAndTheFoldersAboveThem)
{
    const std::vector<std::wstring> patterns{L"save\\*", L"*.log", L"cache"};
    const struct {
        const wchar_t* rel;
        bool excluded;
    } cases[] = {
        {L"save\\slot1.sav", true},    {L"Save\\2024\\slot.sav", true}, {L"saves\\slot.sav", false},
        {L"save", false},              {L"game.log", true},             {L"logs\\today.LOG", true},
        {L"game.log.txt", false},      {L"cache\\x\\y.bin", true},      {L"data\\cache\\y.bin", false},
        {L"data/cache.bin", false},    {L"readme.txt", false},
    };
    for (const auto& c : cases) EXPECT_EQ(path_is_excluded(patterns, c.rel), c.excluded) << to_utf8(c.rel);

    // A pattern that ends in a separator is that folder and everything in it.
    const std::vector<std::wstring> folders{L"save\\", L"logs/"};
    const struct {
        const wchar_t* rel;
        bool excluded;
    } folder_cases[] = {
        {L"save\\slot1.sav", true}, {L"Save\\2024\\slot.sav", true}, {L"logs\\today.log", true},
        {L"save", false},            {L"saves\\slot.sav", false},      {L"data\\save\\x.sav", false},
    };
    for (const auto& c : folder_cases) EXPECT_EQ(path_is_excluded(folders, c.rel), c.excluded) << to_utf8(c.rel);

    EXPECT_TRUE(wildcard_match(L"data/?.pak", L"data\\a.pak"));
    EXPECT_FALSE(wildcard_match(L"data/?.pak", L"data\\ab.pak"));
    EXPECT_TRUE(wildcard_match(L"*a*b*c*", L"xxaxxbxxcxx"));
    EXPECT_FALSE(wildcard_match(L"*a*b*c*", L"xxaxxcxxbxx"));
}

TEST(CodePage932Spelling, AcceptsOnlyNamesThatReadBackTheSame)
{
    std::string bytes;
    EXPECT_TRUE(spell_in_code_page_932(L"data\\説明書ｶﾅ.txt", bytes));
    EXPECT_EQ(bytes, "data\\\x90\xe0\x96\xbe\x8f\x91\xb6\xc5.txt");
    // Best-fit substitutes ("e", "\") would name another file.
    for (const wchar_t* name : {L"café.txt", L"\u00a5100.txt", L"한글.txt", L"\U0001F600.txt"}) {
        EXPECT_FALSE(spell_in_code_page_932(name, bytes)) << to_utf8(name);
    }
}

TEST(ScriptWriter, WritesWhatTheUpdaterReadsBack)
{
    C_update_settings values;
    values.reg_path = L"Velkor\\星の迷宮";
    values.game_title = L"星の \"迷宮\"";
    values.update_title = L"Ver 1.02";
    values.copy_files = {L"movie", L"data\\a.pak", L"説明書.txt"};
    values.delete_files = {L"data\\old_scene.scr"};

    const std::wstring text = compose_update_script(L"from old to new", values);

    EXPECT_EQ(text, L"// from old to new\r\n"
                    L"#REG_PATH = \"Velkor\\\\星の迷宮\"\r\n"
                    L"#GAME_TITLE = \"星の \\\"迷宮\\\"\"\r\n"
                    L"#UPDATE_TITLE = \"Ver 1.02\"\r\n"
                    L"#COPY_FILE = \"movie\"\r\n"
                    L"#COPY_FILE = \"data\\\\a.pak\"\r\n"
                    L"#COPY_FILE = \"説明書.txt\"\r\n"
                    L"#DELETE_FILE = \"data\\\\old_scene.scr\"\r\n");
    C_update_settings read;
    parse_update_script(text, read);
    EXPECT_EQ(read.reg_path, values.reg_path);
    EXPECT_EQ(read.game_title, values.game_title);
    EXPECT_EQ(read.update_title, values.update_title);
    EXPECT_EQ(read.copy_files, values.copy_files);
    EXPECT_EQ(read.delete_files, values.delete_files);
}

TEST(UpdatePlan, TopLevelFoldersAsWholeTopLevelFilesOneByOne)
{
    const std::map<std::wstring, path_kind> old_release{
        {L"data", path_kind::folder}, {L"data\\a.pak", path_kind::file}, {L"sound", path_kind::file},
        {L"docs", path_kind::folder}, {L"docs\\manual", path_kind::folder}};
    const auto old_kind = [&](const std::wstring& rel) {
        const auto found = old_release.find(rel);
        return found == old_release.end() ? path_kind::missing : found->second;
    };
    const std::vector<C_release_file> files{
        {L"data\\a.pak", 10, true},       {L"data\\b.pak", 10, false},    {L"data\\voice\\1.ogg", 1, false},
        {L"data\\voice\\x\\2.ogg", 1, false}, {L"docs\\manual", 3, false}, {L"movie\\op.mpg", 5, false},
        {L"movie\\ed.mpg", 5, false},     {L"readme.txt", 1, false},      {L"sound\\bgm.ogg", 2, false},
    };

    const C_update_plan plan = plan_update_entries(files, old_kind, {});

    EXPECT_EQ(plan.entries, (std::vector<std::wstring>{L"data", L"movie", L"readme.txt"}));
    ASSERT_EQ(plan.blocked.size(), 2u);
    EXPECT_EQ(plan.blocked[0].rel, L"docs\\manual");  // a folder stands where the file goes
    EXPECT_EQ(plan.blocked[0].in_the_way, L"docs\\manual");
    EXPECT_EQ(plan.blocked[1].rel, L"sound\\bgm.ogg");  // a file stands where the folder goes
    EXPECT_EQ(plan.blocked[1].in_the_way, L"sound");
}

TEST(UpdatePlan, NoFolderEntryHoldsAFileTheUpdateRemoves)
{
    const auto old_kind = [](const std::wstring& rel) {
        return rel == L"data" || rel == L"data\\script" ? path_kind::folder : path_kind::missing;
    };
    const std::vector<C_release_file> files{
        {L"data\\a.pak", 1, true},          {L"data\\script\\x.scr", 1, false}, {L"data\\voice\\1.ogg", 1, false},
        {L"data\\voice\\2.ogg", 1, false}, {L"movie\\op.mpg", 1, false},
    };

    // Spelt as OLD stores it, which may differ from NEW in letter case.
    const C_update_plan plan = plan_update_entries(files, old_kind, {L"DATA\\Script\\old.scr", L"old.txt"});

    EXPECT_EQ(plan.entries,
              (std::vector<std::wstring>{L"data\\a.pak", L"data\\script\\x.scr", L"data\\voice", L"movie"}));
    EXPECT_TRUE(plan.blocked.empty());
}

std::string cp932(const std::wstring& text)
{
    std::string bytes;
    EXPECT_TRUE(spell_in_code_page_932(text, bytes)) << to_utf8(text);
    return bytes;
}

void set_write_time(const std::wstring& path, std::uint64_t filetime)
{
    const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME time{static_cast<DWORD>(filetime), static_cast<DWORD>(filetime >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

// A sparse file of `size` bytes, zeros but for `tail` at its end.
void write_sparse_file(const std::wstring& path, std::uint64_t size, const std::string& tail)
{
    ASSERT_TRUE(make_large_file(path, size));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size - tail.size());
    DWORD written = 0;
    EXPECT_TRUE(SetFilePointerEx(file, at, nullptr, FILE_BEGIN));
    EXPECT_TRUE(WriteFile(file, tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr));
    CloseHandle(file);
}

std::uint64_t file_size(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string digest_of(const std::string& bytes)
{
    C_sha256 hash;
    hash.add(bytes.data(), bytes.size());
    return digest_to_hex(hash.finish());
}

// What the make laid out, less its manifest, which must be there.
C_tree made_without_manifest(const std::wstring& out)
{
    C_tree made = snapshot_tree(out);
    EXPECT_EQ(made.erase(L"update.sha256"), 1u);
    return made;
}

std::vector<std::string> finding_lines(const C_check_result& result)
{
    std::vector<std::string> lines;
    for (const auto& finding : result.findings) lines.push_back(to_utf8(finding_line(finding)));
    return lines;
}

class MakeUpdate : public testing::Test {
protected:
    MakeUpdate()
    {
        request.old_dir = root / L"old";
        request.new_dir = root / L"new";
        request.out_dir = root / L"out";
        request.reg_path = L"Velkor\\Meikyu";
        request.game_title = L"星の迷宮";
        request.update_title = L"星の迷宮 1.02";
        request.updater = root / L"update.exe";
        write_file(request.updater, "MZ updater");
        // The game's own folders: the engine at the top of both.
        both(L"VelkorEngine.exe", "MZ engine", "MZ engine");
    }

    void both(const std::wstring& rel, const std::string& old_bytes, const std::string& new_bytes)
    {
        write_file(request.old_dir + L"\\" + rel, old_bytes);
        write_file(request.new_dir + L"\\" + rel, new_bytes);
    }

    C_make_result make()
    {
        C_progress_line progress;
        return make_update(request, progress);
    }

    std::wstring script_head() const
    {
        return L"// Made by update_make.exe from old to new\r\n"
               L"#REG_PATH = \"Velkor\\\\Meikyu\"\r\n#GAME_TITLE = \"星の迷宮\"\r\n#UPDATE_TITLE = \"星の迷宮 1.02\"\r\n";
    }

    // Everything beside OUT: a make that fails leaves nothing there.
    std::vector<std::wstring> beside_out() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW item;
        const HANDLE find = FindFirstFileW((root.path() + L"\\*").c_str(), &item);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (item.cFileName[0] != L'.') names.push_back(item.cFileName);
        } while (FindNextFileW(find, &item));
        FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string new_place(const std::wstring& rel) const { return to_utf8(request.new_dir + L"\\" + rel); }
    std::string old_place(const std::wstring& rel) const { return to_utf8(request.old_dir + L"\\" + rel); }

    C_temp_dir root;
    C_make_request request;
    const std::vector<std::wstring> nothing_made{L"new", L"old", L"update.exe"};
};

TEST_F(MakeUpdate, CarriesAddedAndChangedFilesAndNewFoldersOnly)
{
    const std::string script = pattern_bytes(1500000, 1);
    std::string changed_script = script;
    changed_script.back() ^= 1;  // the same size, different in the second chunk
    both(L"data\\script.scr", script, changed_script);
    both(L"readme.txt", "old readme", "new readme!");
    both(L"data\\stable.pak", "same", "same");
    set_write_time(request.new_dir + L"\\data\\stable.pak", 133000000000000000ull);
    write_file(request.new_dir + L"\\data\\added.pak", "added");
    write_file(request.new_dir + L"\\data\\voice\\a.ogg", "voice");
    write_file(request.new_dir + L"\\movie\\op.mpg", "op");
    write_file(request.new_dir + L"\\movie\\sub\\ed.mpg", "ed");
    write_file(request.new_dir + L"\\説明書.txt", "manual");

    const C_check_result result = make();

    EXPECT_EQ(finding_lines(result), std::vector<std::string>{});
    const C_tree expected{
        {L"gamedata\\", ""},
        {L"gamedata\\data\\", ""},
        {L"gamedata\\data\\added.pak", "added"},
        {L"gamedata\\data\\script.scr", changed_script},
        {L"gamedata\\data\\voice\\", ""},
        {L"gamedata\\data\\voice\\a.ogg", "voice"},
        {L"gamedata\\movie\\", ""},
        {L"gamedata\\movie\\op.mpg", "op"},
        {L"gamedata\\movie\\sub\\", ""},
        {L"gamedata\\movie\\sub\\ed.mpg", "ed"},
        {L"gamedata\\readme.txt", "new readme!"},
        {L"gamedata\\説明書.txt", "manual"},
        {L"update.exe", "MZ updater"},
        {L"update.ini", cp932(script_head() + L"#COPY_FILE = \"data\"\r\n"
                                              L"#COPY_FILE = \"movie\"\r\n"
                                              L"#COPY_FILE = \"readme.txt\"\r\n"
                                              L"#COPY_FILE = \"説明書.txt\"\r\n")},
        // Sorted by path, forward slashes, UTF-8; the small files' digests as
        // coreutils' sha256sum gives them.
        {L"update.sha256",
         "# The size and SHA-256 of every file of gamedata. In this folder, sha256sum -c update.sha256 checks them.\n"
         "# size 5\n279b8a60f444fa8b6275687ce7e44363d97f72f88e4a3285baf0d9ed812e4061 *gamedata/data/added.pak\n"
         "# size 1500000\n" + digest_of(changed_script) + " *gamedata/data/script.scr\n"
         "# size 5\nc57d7e92019708b614c90fa3685cd644f543a60153fb99ec9b67c381a245fb2a *gamedata/data/voice/a.ogg\n"
         "# size 2\n037aeaeaf4bbf26ddabe7256a8294dc52da48d575a1247b5c2598c47de7aebab *gamedata/movie/op.mpg\n"
         "# size 2\n9c1623f0d38e28e9594f2ef31a7ec909291c4fdb05a777dccd2e936a7f406011 *gamedata/movie/sub/ed.mpg\n"
         "# size 11\naaa2d72a7cfd5d1c9d9afcb32429c251d39b26d3dd91fb4f81a48f521f856f22 *gamedata/readme.txt\n"
         "# size 6\n36bde66f289a35683683b041c6d8f418a5f36607b547da25d00ad55891e80b88 *gamedata/" +
             to_utf8(L"説明書.txt") + "\n"},
    };
    EXPECT_EQ(tree_differences(expected, snapshot_tree(request.out_dir)), "");
}

TEST_F(MakeUpdate, LeavesExcludedPathsOutAndRemovesWhatNewDrops)
{
    both(L"save\\slot1.sav", "old save", "new save");
    write_file(request.new_dir + L"\\save\\slot2.sav", "another save");
    write_file(request.old_dir + L"\\save\\slot3.sav", "a developer's save, never shipped");
    both(L"logs\\game.log", "old log", "new log, longer");
    write_file(request.old_dir + L"\\logs\\old.log", "old log");
    both(L"VelkorEngine.exe", "MZ engine 1.01", "MZ engine 1.02");
    write_file(request.old_dir + L"\\legacy\\old.dll", "gone");
    write_file(request.old_dir + L"\\data\\retired.pak", "gone");
    write_file(request.old_dir + L"\\data\\Event\\old_scene.scr", "gone");
    both(L"data\\event\\new_scene.scr", "1.01", "1.02");
    request.excludes = {L"save\\*", L"*.log"};
    make_folder(request.out_dir);  // an empty OUT is fine

    const C_check_result result = make();

    const std::string engine_warning = to_utf8(request.new_dir) +
                                       "\\VelkorEngine.exe: warning: the game's engine changes; the update replaces it, "
                                       "so players must close the game before they run update.exe";
    EXPECT_EQ(finding_lines(result), std::vector<std::string>{engine_warning});
    EXPECT_EQ(result.removed_files, 3u);
    const std::wstring head = L"// Made by update_make.exe from old to new, excluding save\\*, *.log\r\n" +
                              script_head().substr(script_head().find(L"#REG"));
    // The folder that loses a file is shipped by what lies below it.
    const std::wstring script = head + L"#COPY_FILE = \"data\\\\event\\\\new_scene.scr\"\r\n"
                                       L"#COPY_FILE = \"VelkorEngine.exe\"\r\n"
                                       L"#DELETE_FILE = \"data\\\\Event\\\\old_scene.scr\"\r\n"
                                       L"#DELETE_FILE = \"data\\\\retired.pak\"\r\n"
                                       L"#DELETE_FILE = \"legacy\\\\old.dll\"\r\n";
    EXPECT_EQ(tree_differences({{L"gamedata\\", ""},
                                {L"gamedata\\data\\", ""},
                                {L"gamedata\\data\\event\\", ""},
                                {L"gamedata\\data\\event\\new_scene.scr", "1.02"},
                                {L"gamedata\\VelkorEngine.exe", "MZ engine 1.02"},
                                {L"update.exe", "MZ updater"},
                                {L"update.ini", cp932(script)}},
                               made_without_manifest(request.out_dir)),
              "");

    // Kept, each file of OLD that NEW lacks is a warning, and the folder is one entry again.
    request.out_dir = root / L"kept";
    request.keep_removed = true;
    const C_check_result kept = make();
    const auto gone = [&](const std::wstring& rel) {
        return to_utf8(request.old_dir + L"\\" + rel) + ": warning: gone from " + to_utf8(request.new_dir) +
               "; --keep-removed leaves it, so players keep this file";
    };
    EXPECT_EQ(finding_lines(kept), (std::vector<std::string>{engine_warning, gone(L"data\\Event\\old_scene.scr"),
                                                             gone(L"data\\retired.pak"), gone(L"legacy\\old.dll")}));
    EXPECT_EQ(read_file(request.out_dir + L"\\update.ini"),
              cp932(head + L"#COPY_FILE = \"data\"\r\n#COPY_FILE = \"VelkorEngine.exe\"\r\n"));
}

TEST_F(MakeUpdate, RefusesNamesTheUpdateCannotCarryAndWritesNothing)
{
    both(L"readme.txt", "old", "new");
    write_file(request.new_dir + L"\\café.txt", "menu");
    // Made elsewhere: Windows itself trims the dot unless the path is taken literally.
    write_file(L"\\\\?\\" + request.new_dir + L"\\trail.", "dot");
    // Below the top level no name is written in update.ini: the folder entry copies it.
    write_file(request.new_dir + L"\\extras\\한글.txt", "fine");
    both(L"data\\old.txt", "old", "old");
    write_file(request.new_dir + L"\\data\\naïve.txt", "fine too");
    // Gone from NEW, but no #DELETE_FILE entry can name them: players keep them.
    write_file(request.old_dir + L"\\extras\\옛날.txt", "kept");
    write_file(L"\\\\?\\" + request.old_dir + L"\\trail ", "kept");
    // A Mac's decomposed name beside the composed one of OLD, and a device's name.
    write_file(request.old_dir + L"\\data\\caf\u00E9.txt", "menu 1.01");
    write_file(request.new_dir + L"\\data\\cafe\u0301.txt", "menu 1.02");
    write_file(L"\\\\?\\" + request.new_dir + L"\\data\\Aux.dat", "device");

    const C_check_result result = make();

    const std::string gone = ": warning: gone from " + to_utf8(request.new_dir) + ", but ";
    const std::string kept = "; the update does not remove it, so players keep this file";
    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{
                  to_utf8(request.new_dir) + "\\trail.: error: a name ending in a dot or a space, which Windows "
                                             "cannot hold; rename it",
                  new_place(L"data\\Aux.dat") + ": error: a device's name to Windows, so no file or folder can "
                                                 "have it; rename it",
                  new_place(L"data\\cafe\u0301.txt") + ": error: a name in decomposed Unicode (U+0065 U+0301 for "
                                                        "U+00E9), as a Mac writes names: Windows holds it apart from "
                                                        "the composed name the game opens, so players keep the old "
                                                        "file; rename it in composed form",
                  to_utf8(request.new_dir) + "\\café.txt: error: code page 932 cannot spell this name, so "
                                             "update.ini cannot name it; rename it",
                  old_place(L"data\\caf\u00E9.txt") + gone +
                      "code page 932 cannot spell this name, so update.ini cannot name it" + kept,
                  to_utf8(request.old_dir) + "\\extras\\옛날.txt" + gone +
                      "code page 932 cannot spell this name, so update.ini cannot name it" + kept,
                  to_utf8(request.old_dir) + "\\trail " + gone +
                      "a name ending in a dot or a space, which Windows cannot hold" + kept}));
    EXPECT_EQ(beside_out(), nothing_made) << "no OUT, nothing left beside it";
}

TEST_F(MakeUpdate, ComparesAndCopiesFilesBeyondFourGibibytes)
{
    const std::uint64_t size = (4ull << 30) + 3;
    write_sparse_file(request.old_dir + L"\\big.bin", size, "old");
    write_sparse_file(request.new_dir + L"\\big.bin", size, "new");

    const C_check_result result = make();

    EXPECT_EQ(result.errors(), 0u) << testing::PrintToString(finding_lines(result));
    const std::wstring copied = request.out_dir + L"\\gamedata\\big.bin";
    ASSERT_EQ(file_size(copied), size);
    const HANDLE file = CreateFileW(copied.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size - 5);
    char tail[5] = {};
    DWORD got = 0;
    SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    ReadFile(file, tail, sizeof tail, &got, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(tail, got), std::string("\0\0new", 5));
}

TEST_F(MakeUpdate, AFolderPatternLeavesTheFolderOutAndAPatternThatFitsNothingIsReported)
{
    both(L"readme.txt", "old", "new");
    both(L"save\\slot1.sav", "the player's save", "the developer's save");
    write_file(request.new_dir + L"\\save\\2024\\slot2.sav", "another of the developer's");
    request.excludes = {L"save\\", L"cache/", L"*.tmp"};

    const C_make_result result = make();

    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{"--exclude cache/: warning: leaves nothing out of " + to_utf8(request.old_dir) +
                                            " or " + to_utf8(request.new_dir),
                                        "--exclude *.tmp: warning: leaves nothing out of " + to_utf8(request.old_dir) +
                                            " or " + to_utf8(request.new_dir)}));
    const C_tree made = snapshot_tree(request.out_dir);
    EXPECT_EQ(made.count(L"gamedata\\readme.txt"), 1u);
    EXPECT_EQ(made.count(L"gamedata\\save\\"), 0u) << "the developer's saves must not ship";
}

TEST_F(MakeUpdate, ReleaseFoldersGivenOneLevelTooHighAreRefused)
{
    for (const auto& folder : {request.old_dir, request.new_dir}) {
        ASSERT_TRUE(DeleteFileW((folder + L"\\VelkorEngine.exe").c_str()));
    }
    both(L"HoshiNoMeikyu\\VelkorEngine.exe", "MZ engine", "MZ engine");
    both(L"HoshiNoMeikyu\\data\\a.pak", "1.01", "1.02");

    const C_make_result result = make();

    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{
                  new_place(L"VelkorEngine.exe") + ": error: missing: give the game's own folder as NEW, with "
                                                   "VelkorEngine.exe at its top (" + new_place(L"HoshiNoMeikyu") +
                      "?); this update would land beside the game, not in it",
                  old_place(L"VelkorEngine.exe") + ": error: missing: give the game's folder as installed as OLD (" +
                      old_place(L"HoshiNoMeikyu") + "?); otherwise every file of NEW looks new"}));
    EXPECT_EQ(beside_out(), nothing_made);

    // OLD alone one level too high: every file would look new, and ship.
    write_file(request.new_dir + L"\\VelkorEngine.exe", "MZ engine");
    EXPECT_EQ(make().errors(), 1u);
    EXPECT_EQ(beside_out(), nothing_made);
}

TEST_F(MakeUpdate, UnlistableFolderIsAnError)
{
    both(L"readme.txt", "old", "new");
    write_file(request.new_dir + L"\\notes\\todo.txt", "ship me");
    C_listing_denied denied(request.new_dir + L"\\notes");
    std::string why_not;
    if (!denied.in_effect(why_not)) GTEST_SKIP() << why_not;

    const C_make_result result = make();

    EXPECT_EQ(finding_lines(result), (std::vector<std::string>{new_place(L"notes") + ": error: cannot be listed: " +
                                                               to_utf8(system_error_text(ERROR_ACCESS_DENIED))}));
    EXPECT_EQ(beside_out(), nothing_made);
}

TEST_F(MakeUpdate, LinksToFoldersAreNotFollowedAndInNewRefused)
{
    both(L"readme.txt", "old", "new");
    both(L"data\\a.pak", "1.01", "1.02");
    // A link back up: followed, it would repeat the release down to the path limit.
    if (!make_folder_link(request.old_dir + L"\\data\\loop", request.old_dir)) {
        GTEST_SKIP() << "no folder link can be made here (on Windows it takes the right to make symbolic links)";
    }
    const auto remove_links = [this] {
        for (const auto& folder : {request.old_dir, request.new_dir}) {
            RemoveDirectoryW((folder + L"\\data\\loop").c_str());
            DeleteFileW((folder + L"\\data\\loop").c_str());
        }
    };

    // In OLD nothing is lost: what lies below it in NEW ships as new.
    C_make_result result = make();
    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{old_place(L"data\\loop") +
                                        ": warning: a link to a folder (a junction or a symbolic link); not followed, "
                                        "so nothing below it is compared or shipped"}));
    EXPECT_EQ(result.copied_files, 2u);
    EXPECT_EQ(tree_differences({{L"gamedata\\", ""},
                                {L"gamedata\\data\\", ""},
                                {L"gamedata\\data\\a.pak", "1.02"},
                                {L"gamedata\\readme.txt", "new"},
                                {L"update.exe", "MZ updater"},
                                {L"update.ini", cp932(script_head() + L"#COPY_FILE = \"data\"\r\n"
                                                                      L"#COPY_FILE = \"readme.txt\"\r\n")}},
                               made_without_manifest(request.out_dir)),
              "");
    EXPECT_TRUE(result.made);

    // In NEW what it points to would be missing from the update.
    ASSERT_TRUE(remove_folder_tree(request.out_dir));
    make_folder_link(request.new_dir + L"\\data\\loop", request.new_dir);
    result = make();
    remove_links();
    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{
                  old_place(L"data\\loop") + ": warning: a link to a folder (a junction or a symbolic link); not "
                                              "followed, so nothing below it is compared or shipped",
                  new_place(L"data\\loop") + ": error: a link to a folder (a junction or a symbolic link); not "
                                              "followed, so nothing below it is compared or shipped; copy in what it "
                                              "points to, or leave it out with --exclude"}));
    EXPECT_EQ(beside_out(), nothing_made);
}

TEST_F(MakeUpdate, NothingToShipIsAnErrorAndLeavesOutAsItWas)
{
    both(L"readme.txt", "same", "same");
    both(L"save\\slot1.sav", "old save", "new save");
    request.excludes = {L"save\\"};
    make_folder(request.out_dir);

    const C_make_result result = make();

    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{to_utf8(request.new_dir) + ": error: nothing to ship: no file differs from " +
                                        to_utf8(request.old_dir) + " outside the --exclude patterns"}));
    EXPECT_TRUE(folder_exists(request.out_dir));
    EXPECT_EQ(snapshot_tree(request.out_dir), C_tree{});
}

TEST_F(MakeUpdate, AnUpdateThatOnlyRemovesFilesIsMade)
{
    both(L"readme.txt", "same", "same");
    write_file(request.old_dir + L"\\retired.dat", "gone");

    const C_make_result result = make();

    EXPECT_EQ(finding_lines(result), std::vector<std::string>{});
    EXPECT_EQ(tree_differences({{L"gamedata\\", ""},
                                {L"update.exe", "MZ updater"},
                                {L"update.ini", cp932(script_head() + L"#DELETE_FILE = \"retired.dat\"\r\n")}},
                               made_without_manifest(request.out_dir)),
              "");
}

TEST_F(MakeUpdate, WarnsOfEmptyFoldersAndReadOnlyFilesTheUpdateChanges)
{
    make_folder(request.new_dir + L"\\logs");
    make_folder(request.new_dir + L"\\movie\\extras");
    write_file(request.new_dir + L"\\movie\\op.mpg", "op");
    make_folder(request.old_dir + L"\\data\\cache");  // players have it already
    make_folder(request.new_dir + L"\\data\\cache");
    both(L"data\\a.pak", "1.01", "1.02");
    both(L"data\\b.pak", "same", "same");
    for (const wchar_t* rel : {L"data\\a.pak", L"data\\b.pak"}) {
        ASSERT_TRUE(SetFileAttributesW((request.old_dir + L"\\" + rel).c_str(), FILE_ATTRIBUTE_READONLY));
    }

    const C_make_result result = make();

    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{
                  old_place(L"data\\a.pak") + ": warning: read-only, and the update changes it: where players' copy is "
                                               "read-only too, update.exe cannot replace it and stops partway",
                  new_place(L"logs") + ": warning: an empty folder; update.exe copies files only, so players do not "
                                       "get it",
                  new_place(L"movie\\extras") + ": warning: an empty folder; update.exe copies files only, so players "
                                                 "do not get it"}));
}

TEST_F(MakeUpdate, FilesThatCannotBeReadOrCopiedAreReportedWithTheReason)
{
    both(L"data\\a.pak", "1.01", "1.02");
    const auto hold = [](const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    HANDLE held = hold(request.new_dir + L"\\data\\a.pak");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    C_make_result result = make();
    CloseHandle(held);
    EXPECT_EQ(finding_lines(result), (std::vector<std::string>{new_place(L"data\\a.pak") +
                                                               ": error: cannot be read: Permission denied"}));

    write_file(request.new_dir + L"\\data\\added.pak", "added");
    held = hold(request.new_dir + L"\\data\\added.pak");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    result = make();
    CloseHandle(held);
    EXPECT_EQ(finding_lines(result), (std::vector<std::string>{new_place(L"data\\added.pak") +
                                                               ": error: cannot be copied into the update: "
                                                               "Permission denied"}));
    EXPECT_EQ(beside_out(), nothing_made);
}

TEST_F(MakeUpdate, FoldersThatDifferOnlyInLetterCaseAcrossTheTreeAreAnError)
{
    // Made elsewhere, with two folders where Windows keeps one.
    write_file(request.new_dir + L"\\data\\b.pak", "b");
    if (!write_case_twin(request.new_dir, L"Data\\a.pak", "a")) {
        GTEST_SKIP() << "no two names that differ only in letter case can be made here (on Windows it takes a "
                        "case-sensitive folder)";
    }

    const C_make_result result = make();

    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{new_place(L"data") + ": error: differs from " + new_place(L"Data") +
                                        " only in letter case; Windows keeps one of them, and players get whichever "
                                        "is copied last"}));
    EXPECT_EQ(beside_out(), nothing_made);
}

TEST_F(MakeUpdate, CopiesPathsOfAnyLengthAndNamesThoseThatLeavePlayersLittleRoom)
{
    // 234 characters below NEW, which with the temporary folder pass the system's 260.
    std::wstring rel;
    for (wchar_t part = L'a'; part < L'e'; ++part) rel += std::wstring(50, part) + L"\\";
    rel += std::wstring(26, L'f') + L".dat";
    ASSERT_TRUE(dir_create_long(long_path_form(request.new_dir) + L"\\" + path_get_folder(rel)));
    write_file(long_path_form(request.new_dir) + L"\\" + rel, "deep");

    const C_make_result result = make();

    EXPECT_EQ(finding_lines(result),
              (std::vector<std::string>{new_place(rel) + ": warning: 234 characters inside the update, which leave the "
                                                         "players' installation folder only 24 characters of Windows' "
                                                         "260 for its own path; where it is longer, players' updaters "
                                                         "may fail on this file"}));
    EXPECT_EQ(read_file(long_path_form(request.out_dir) + L"\\gamedata\\" + rel), "deep");
}

TEST_F(MakeUpdate, TwoMakesOfTheSameReleasesGiveTheSameUpdate)
{
    const std::uint64_t older = 133000000000000000ull;
    const std::uint64_t newer = 133100000000000000ull;
    const auto lay_releases = [&](const std::wstring& old_dir, const std::wstring& new_dir) {
        for (const auto& folder : {old_dir, new_dir}) write_file(folder + L"\\VelkorEngine.exe", "MZ engine");
        write_file(old_dir + L"\\data\\a.pak", "1.01");
        write_file(new_dir + L"\\data\\a.pak", "1.02");
        write_file(new_dir + L"\\movie\\op.mpg", "opening");
        set_write_time(new_dir + L"\\data\\a.pak", older);
        set_write_time(new_dir + L"\\movie\\op.mpg", newer);
    };
    lay_releases(request.old_dir, request.new_dir);
    const C_make_result first = make();
    // The same releases where another of the publisher's machines keeps them, made later.
    C_temp_dir elsewhere;
    C_make_request again = request;
    again.old_dir = elsewhere / L"ci\\old";
    again.new_dir = elsewhere / L"ci\\new";
    again.out_dir = elsewhere / L"out";
    lay_releases(again.old_dir, again.new_dir);
    C_progress_line progress;
    const C_make_result second = make_update(again, progress);
    ASSERT_TRUE(first.made && second.made) << testing::PrintToString(finding_lines(first))
                                           << testing::PrintToString(finding_lines(second));

    // Every file of the update, its bytes and its times.
    const C_tree made = snapshot_tree(request.out_dir);
    EXPECT_EQ(tree_differences(made, snapshot_tree(again.out_dir)), "");
    const C_tree details = snapshot_details(request.out_dir);
    EXPECT_EQ(details_differences(details, snapshot_details(again.out_dir)), "");
    EXPECT_EQ(made.at(L"update.ini").substr(0, made.at(L"update.ini").find('\r')),
              "// Made by update_make.exe from old to new");
    // Each file as NEW has it; update.ini as new as the newest.
    for (const auto& dated : {std::make_pair(L"gamedata\\data\\a.pak", older),
                              std::make_pair(L"gamedata\\movie\\op.mpg", newer), std::make_pair(L"update.ini", newer)}) {
        EXPECT_NE(details.at(dated.first).find(", written " + std::to_string(dated.second)), std::string::npos)
            << to_utf8(dated.first) << ": " << details.at(dated.first);
    }
}

}  // namespace
