#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/expected_texts.h"
#include "support/host_files.h"
#include "support/temp_dir.h"
#include "support/update_fixture.h"
#include "support/utf8_text.h"
#include "program_version.h"
#include "update_check/update_check.h"

// The checker of an update folder, run on folders laid out here: the script's
// bytes as a publisher's editor would save them, and the files of gamedata.
// Each case compares the whole report, line by line.

namespace {

const wchar_t* const keys =
    L"#REG_PATH = \"Velkor\\\\Hoshi\"\r\n#GAME_TITLE = \"星の迷宮\"\r\n#UPDATE_TITLE = \"秋のアップデート\"\r\n";

class UpdateCheck : public testing::Test {
protected:
    UpdateCheck() { write_file(folder / L"update.exe", "MZ updater"); }

    void script(const std::wstring& text) { script_bytes(to_code_page_932(text)); }
    void script_bytes(const std::string& bytes) { write_file(folder / L"update.ini", bytes); }
    void source(const std::wstring& rel, const std::string& bytes = "x")
    {
        write_file(folder / (L"gamedata\\" + rel), bytes);
    }

    // Every finding's line, then the summary, as UTF-8 so that failures read
    // well. These updates are written by hand, without a manifest: the warning
    // for that is left out unless asked for, and tested on its own.
    std::vector<std::string> report(bool with_manifest_warning = false) const
    {
        C_check_result result = check_update_folder(folder.path());
        if (!with_manifest_warning) {
            result.findings.erase(std::remove_if(result.findings.begin(), result.findings.end(),
                                                 [](const C_check_finding& f) {
                                                     return f.kind == finding_kind::manifest_missing;
                                                 }),
                                  result.findings.end());
        }
        std::vector<std::string> lines;
        for (const auto& finding : result.findings) lines.push_back(to_utf8(finding_line(finding)));
        lines.push_back(to_utf8(summary_line(result)));
        return lines;
    }

    C_temp_dir folder;
};

using lines = std::vector<std::string>;

TEST_F(UpdateCheck, CompleteUpdateCountsWhatTheCopyGoesThrough)
{
    script(std::wstring(L"// 秋のアップデート\r\n") + keys +
           L"#COPY_FILE = \"data\"\r\n#COPY_FILE = \"readme.txt\"\r\n#COPY_FILE = \"system/config.ini\"\r\n");
    source(L"data\\a.pak", "12345");
    source(L"data\\script\\chapter1.scr", "123");
    source(L"readme.txt", "12");
    source(L"system\\config.ini", "1");

    EXPECT_EQ(report(), lines{"0 errors, 0 warnings; the update copies 4 files, 11 bytes"});
}

TEST_F(UpdateCheck, ScriptMissingIsTheUpdatersMessageAndNothingElse)
{
    source(L"readme.txt");
    EXPECT_EQ(report(), (lines{"update.ini: error: " + to_utf8(expected::script_not_found),
                               "1 error, 0 warnings; the update copies 0 files, 0 bytes"}));
}

TEST_F(UpdateCheck, EveryMissingValueAndTheMissingGamedata)
{
    // An empty value counts as missing and is found on its line.
    script(L"// no keys but one\r\n#REG_PATH = \"\"\r\n#COPY_FILE = \"readme.txt\"\r\n");
    EXPECT_EQ(report(), (lines{"update.ini:2: error: " + to_utf8(expected::no_reg_path),
                               "update.ini: error: " + to_utf8(expected::no_update_title),
                               "update.ini: error: " + to_utf8(expected::no_game_title),
                               "gamedata: error: " + to_utf8(expected::no_source_folder),
                               "4 errors, 0 warnings; the update copies 0 files, 0 bytes"}));
}

TEST_F(UpdateCheck, EntriesTheUpdaterRefusesOrWouldNotFind)
{
    script(std::wstring(keys) +
           L"#COPY_FILE = \"readme.txt\"\r\n"
           L"#COPY_FILE = \"\"\r\n"
           L"#COPY_FILE = \"..\\\\evil.bin\"\r\n"
           L"#COPY_FILE = \"ムービー\\\\op.mpg\"\r\n"
           L"#COPY_FILE = \"readme.txt.\"\r\n");
    source(L"readme.txt", "read me");
    EXPECT_EQ(report(),
              (lines{"update.ini:5: error: " + to_utf8(expected::entry_empty(2)),
                     "update.ini:6: error: " + to_utf8(expected::entry_outside(3)),
                     "update.ini:7: error: " + to_utf8(expected::entry_missing(L"gamedata\\ムービー\\op.mpg")),
                     "update.ini:8: error: " + to_utf8(expected::entry_missing(L"gamedata\\readme.txt.")),
                     "4 errors, 0 warnings; the update copies 1 file, 7 bytes"}));
}

TEST_F(UpdateCheck, LinesTheUpdaterPassesOverWithoutAWord)
{
    script(std::wstring(keys) +
           L"#GAME_TITLE = 星の迷宮\r\n"
           L"＃UPDATE_TITLE = \"秋\"\r\n"
           L"#COPYFILE = \"a.txt\"\r\n"
           L"#COPY_FILE　=　\"a.txt\"\r\n"
           L"  #COPY_FILE = \"a.txt\"\r\n"
           L"#COPY_FILE \"a.txt\"\r\n"
           L"#COPY_FILE = \"a.txt\r\n"
           L"#VERSION = \"1.02\"\r\n"
           L"// #COPYFILE in a comment is fine\r\n"
           L"#GAME_TITLE = \"星の迷宮 完全版\"\r\n");
    source(L"a.txt");
    EXPECT_EQ(report(),
              (lines{"update.ini:4: warning: ignored by the updater: the value is not in double quotes",
                     "update.ini:5: warning: ignored by the updater: full-width \"＃\"",
                     "update.ini:6: warning: ignored by the updater: \"#COPYFILE\" is not a key (#COPY_FILE?)",
                     "update.ini:7: warning: ignored by the updater: full-width space around \"=\"",
                     "update.ini:8: warning: ignored by the updater: blanks before \"#\"",
                     "update.ini:9: warning: ignored by the updater: no \"=\" after the key",
                     "update.ini:10: warning: ignored by the updater: the value has no closing double quote",
                     "update.ini:11: warning: ignored by the updater: \"#VERSION\" is not a key",
                     "update.ini:13: warning: #GAME_TITLE given again (line 2); the updater takes this one",
                     "gamedata\\a.txt: warning: no entry copies this file; it is not shipped",
                     "0 errors, 10 warnings; the update copies 0 files, 0 bytes"}));
}

TEST_F(UpdateCheck, FilesCopiedTwiceNotAtAllOrTooLarge)
{
    script(std::wstring(keys) +
           L"#COPY_FILE = \"data\"\r\n"
           L"#COPY_FILE = \"data\\\\a.pak\"\r\n"
           L"#COPY_FILE = \"DATA\"\r\n"
           L"#COPY_FILE = \"empty\"\r\n"
           L"#COPY_FILE = \"movie.mpg\"\r\n");
    source(L"data\\a.pak", "1234");
    make_folder(folder / L"gamedata\\empty");
    source(L"old_readme.txt");
    const std::uint64_t four_gib = std::uint64_t{1} << 32;
    ASSERT_TRUE(make_large_file(folder / L"gamedata\\movie.mpg", four_gib));

    EXPECT_EQ(report(),
              (lines{"update.ini:5: warning: already copied by the folder entry on line 4",
                     "update.ini:6: warning: the same entry as line 4; it is copied twice",
                     "update.ini:7: warning: the folder holds no files; the entry copies nothing",
                     "gamedata\\movie.mpg: warning: 4 GiB or larger (4294967296 bytes); drives formatted FAT32 "
                     "cannot hold it",
                     "gamedata\\old_readme.txt: warning: no entry copies this file; it is not shipped",
                     "0 errors, 5 warnings; the update copies 4 files, 4294967308 bytes"}));
}

TEST_F(UpdateCheck, EntryThatCopiesIntoTheUpdatersWorkFolder)
{
    // The name in any letter case; a folder entry, or a file in it.
    script(std::wstring(keys) +
           L"#COPY_FILE = \"~Update_Rollback\"\r\n"
           L"#COPY_FILE = \"data\"\r\n"
           L"#COPY_FILE = \"~update_rollback\\\\update.journal\"\r\n");
    source(L"~Update_Rollback\\update.journal", "1");
    source(L"data\\~update_rollback", "2");
    const std::string refused = "error: copies into \"~update_rollback\", where the updater keeps the files it "
                                "replaces; the updater refuses to copy it";

    EXPECT_EQ(report(), (lines{"update.ini:4: " + refused,
                               "update.ini:6: " + refused,
                               "update.ini:6: warning: already copied by the folder entry on line 4",
                               "2 errors, 1 warning; the update copies 3 files, 3 bytes"}));
}

TEST_F(UpdateCheck, RemovalsThatCouldNeverApplyOrContradictWhatTheUpdateShips)
{
    script(std::wstring(keys) +
           L"#COPY_FILE = \"data\"\r\n"
           L"#COPY_FILE = \"readme.txt\"\r\n"
           L"#DELETE_FILE = \"data\\\\old_scene.scr\"\r\n"
           L"#DELETE_FILE = \"..\\\\save\\\\slot1.sav\"\r\n"
           L"#DELETE_FILE = \"\"\r\n"
           L"#DELETE_FILE = \"~update_rollback\\\\update.journal\"\r\n"
           L"#DELETE_FILE = \"README.TXT\"\r\n"
           L"#DELETE_FILE = \"data\\\\voice\"\r\n"
           L"#DELETE_FILE = \"legacy\\\\old.dll\"\r\n"
           L"#DELETE_FILE = \"Legacy/Old.dll\"\r\n"
           L"#DELETEFILE = \"old.txt\"\r\n");
    source(L"data\\new.scr", "12");
    source(L"data\\voice\\a.ogg", "123");
    source(L"readme.txt", "1");

    EXPECT_EQ(report(),
              (lines{"update.ini:14: warning: ignored by the updater: \"#DELETEFILE\" is not a key (#DELETE_FILE?)",
                     "update.ini:6: warning: in the folder that the entry on line 4 ships; where players do not have "
                     "that folder yet, the file removed is one of their own",
                     "update.ini:7: error: " + to_utf8(expected::delete_entry_outside(2)),
                     "update.ini:8: error: " + to_utf8(expected::delete_entry_empty(3)),
                     "update.ini:9: error: " + to_utf8(expected::delete_entry_in_work_folder(4)),
                     "update.ini:10: error: names a file that the entry on line 5 copies; update.exe replaces it "
                     "instead of removing it, so leave out one of the two",
                     "update.ini:11: error: names a folder that the entry on line 4 ships; update.exe removes files "
                     "only and refuses a folder",
                     "update.ini:13: warning: the same file as line 12; it is removed once",
                     "5 errors, 3 warnings; the update copies 3 files, 6 bytes and removes 2 files"}));
}

TEST_F(UpdateCheck, ScriptNotSavedInCodePage932)
{
    source(L"a.txt");
    const std::string ascii_keys = "#REG_PATH = \"Velkor\\\\Hoshi\"\r\n#GAME_TITLE = \"Hoshi\"\r\n"
                                   "#UPDATE_TITLE = \"Autumn\"\r\n#COPY_FILE = \"a.txt\"\r\n";

    script_bytes("\xEF\xBB\xBF// saved with a byte-order mark\r\n" + ascii_keys);
    EXPECT_EQ(report(), (lines{"update.ini:1: error: starts with a UTF-8 byte-order mark; the updater reads code "
                               "page 932 (Shift_JIS), so save the script in it without one",
                               "1 error, 0 warnings; the update copies 1 file, 1 byte"}));

    // 星の迷宮ゲーム in UTF-8, without a mark: its bytes pair up as characters of
    // code page 932 until the pair 0x81 0xAE, which 932 leaves unassigned.
    script_bytes(ascii_keys + "// \xE6\x98\x9F\xE3\x81\xAE\xE8\xBF\xB7\xE5\xAE\xAE\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0\r\n");
    EXPECT_EQ(report(), (lines{"update.ini:5: error: not code page 932 (Shift_JIS): 0x81 0xAE at column 8; the script "
                               "reads as UTF-8, save it in code page 932",
                               "1 error, 0 warnings; the update copies 1 file, 1 byte"}));

    // A stray lead byte and a byte that is no character, on one line: its first
    // problem is named.
    script_bytes(ascii_keys + "// \x85\r\n// \x80\xFD\r\n");
    EXPECT_EQ(report(), (lines{"update.ini:5: error: not code page 932 (Shift_JIS): 0x85 at column 4",
                               "update.ini:6: error: not code page 932 (Shift_JIS): 0x80 at column 4",
                               "2 errors, 0 warnings; the update copies 1 file, 1 byte"}));

    script_bytes(std::string("\xFF\xFE#\0R\0", 6));
    EXPECT_EQ(report(),
              (lines{"update.ini:1: error: saved as UTF-16 (it starts with a byte-order mark); the updater reads code "
                     "page 932 (Shift_JIS) and stops at the first zero byte",
                     "update.ini:1: warning: the updater stops reading at a zero byte on this line; the rest of the "
                     "file is ignored",
                     "update.ini: error: " + to_utf8(expected::no_reg_path),
                     "update.ini: error: " + to_utf8(expected::no_update_title),
                     "update.ini: error: " + to_utf8(expected::no_game_title),
                     "gamedata\\a.txt: warning: no entry copies this file; it is not shipped",
                     "4 errors, 2 warnings; the update copies 0 files, 0 bytes"}));
}

TEST_F(UpdateCheck, TextAfterCtrlZIsNeverRead)
{
    source(L"a.txt");
    script_bytes(to_code_page_932(L"#REG_PATH = \"Velkor\\\\Hoshi\"\r\n#UPDATE_TITLE = \"秋\"\r\n") +
                 "\x1A\r\n#GAME_TITLE = \"x\"\r\n#COPY_FILE = \"a.txt\"\r\n");
    EXPECT_EQ(report(), (lines{"update.ini:3: warning: the updater stops reading at a Ctrl-Z (0x1A) on this line; the "
                               "rest of the file is ignored",
                               "update.ini: error: " + to_utf8(expected::no_game_title),
                               "gamedata\\a.txt: warning: no entry copies this file; it is not shipped",
                               "1 error, 2 warnings; the update copies 0 files, 0 bytes"}));
}

TEST_F(UpdateCheck, RegistryPathsThatNameAKeyNoInstallerMade)
{
    source(L"a.txt");
    const struct {
        const wchar_t* reg_path;  // as the script spells it, backslashes doubled
        const char* problem;      // empty when the form is fine
    } cases[] = {
        {L"VelkorSoft\\\\Hoshi", ""},
        {L"HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\VelkorSoft\\\\Hoshi",
         "begins with the root key \"HKEY_LOCAL_MACHINE\": the updater opens HKEY_LOCAL_MACHINE\\Software\\"
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\VelkorSoft\\Hoshi; give only the key below HKEY_LOCAL_MACHINE\\Software: "
         "VelkorSoft\\Hoshi"},
        {L"hklm\\\\VelkorSoft", "begins with the root key \"hklm\": the updater opens HKEY_LOCAL_MACHINE\\Software\\"
                               "hklm\\VelkorSoft; give only the key below HKEY_LOCAL_MACHINE\\Software: VelkorSoft"},
        {L"SOFTWARE\\\\WOW6432Node\\\\VelkorSoft",
         "begins with \"SOFTWARE\", which the updater puts before it: the updater opens HKEY_LOCAL_MACHINE\\Software\\"
         "SOFTWARE\\WOW6432Node\\VelkorSoft; give only the key below HKEY_LOCAL_MACHINE\\Software: VelkorSoft"},
        {L"Wow6432Node\\\\VelkorSoft",
         "begins with \"Wow6432Node\"; Windows chooses the 32-bit view for the 32-bit updater itself: the updater opens "
         "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\VelkorSoft; give only the key below "
         "HKEY_LOCAL_MACHINE\\Software: VelkorSoft"},
        {L"\\\\VelkorSoft\\\\Hoshi\\\\",
         "has an empty part (a backslash at its start or end, or two in a row): the updater opens "
         "HKEY_LOCAL_MACHINE\\Software\\\\VelkorSoft\\Hoshi\\; give only the key below "
         "HKEY_LOCAL_MACHINE\\Software: VelkorSoft\\Hoshi"},
        {L"Softwares\\\\HKLMTools", ""},
    };
    for (const auto& c : cases) {
        script(std::wstring(L"#REG_PATH = \"") + c.reg_path + L"\"\r\n#GAME_TITLE = \"星\"\r\n"
               L"#UPDATE_TITLE = \"秋\"\r\n#COPY_FILE = \"a.txt\"\r\n");
        lines expected;
        if (*c.problem) expected.push_back(std::string("update.ini:1: error: #REG_PATH ") + c.problem);
        expected.push_back(std::string(*c.problem ? "1 error" : "0 errors") + ", 0 warnings; the update copies 1 file, 1 byte");
        EXPECT_EQ(report(), expected) << to_utf8(c.reg_path);
    }
}

TEST_F(UpdateCheck, AnUpdateWithoutUpdateExeIsAnError)
{
    script(std::wstring(keys) + L"#COPY_FILE = \"a.txt\"\r\n");
    source(L"a.txt");
    ASSERT_TRUE(DeleteFileW((folder / L"update.exe").c_str()));
    EXPECT_EQ(report(), (lines{"update.exe: error: missing beside update.ini and gamedata; players would have no "
                               "updater to run",
                               "1 error, 0 warnings; the update copies 1 file, 1 byte"}));
}

TEST_F(UpdateCheck, NamesThatDifferOnlyInLetterCaseAreAnError)
{
    script(std::wstring(keys) + L"#COPY_FILE = \"data\"\r\n");
    source(L"data\\readme.txt", "1.02");
    source(L"data\\sub\\a.pak", "a");
    if (!write_case_twin(folder / L"gamedata\\data", L"README.txt", "1.01") ||
        !write_case_twin(folder / L"gamedata\\data", L"SUB", "a file where a folder is")) {
        GTEST_SKIP() << "no two names that differ only in letter case can be made here (on Windows it takes a "
                        "case-sensitive folder)";
    }
    const lines found = report();
    const std::string rule = " only in letter case; Windows keeps one of them, and players get whichever is copied last";
    EXPECT_EQ(std::count(found.begin(), found.end(), "gamedata\\data\\README.txt: error: differs from "
                                                     "gamedata\\data\\readme.txt" + rule) +
                  std::count(found.begin(), found.end(), "gamedata\\data\\readme.txt: error: differs from "
                                                         "gamedata\\data\\README.txt" + rule),
              1)
        << testing::PrintToString(found);
    EXPECT_EQ(std::count_if(found.begin(), found.end(),
                            [](const std::string& line) { return line.find(": error: differs from") != std::string::npos; }),
              2)
        << testing::PrintToString(found);
}

// Digests of "a" and "cc", as coreutils' sha256sum gives them.
const std::string digest_a = "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb";
const std::string digest_cc = "355b1bbfc96725cdce8f4a2708fda310a80e6d13315aec4e5eed2a75fe8032ce";

TEST_F(UpdateCheck, ManifestNamesEveryFileDamagedMissingOrNotListed)
{
    script(std::wstring(keys) + L"#COPY_FILE = \"data\"\r\n");
    source(L"data\\a.txt", "a");
    source(L"data\\B.txt", "b");   // listed in another letter case, with another size
    source(L"data\\c.txt", "cd");  // listed with the digest of "cc"
    source(L"data\\e.txt", "e");   // not listed
    write_file(folder / L"update.sha256", "# made by hand\n"
                                          "# size 1\n" + digest_a + " *gamedata/data/a.txt\n"
                                          "# size 2\n" + digest_cc + " *gamedata/data/b.txt\n"
                                          "# size 2\n" + digest_cc + "  gamedata/data/c.txt\n"
                                          "# size 1\n" + digest_a + " *gamedata/data/d.txt\n");

    EXPECT_EQ(report(true),
              (lines{"gamedata\\data\\B.txt: error: is 1 byte; update.sha256 line 5 lists 2 bytes",
                     "gamedata\\data\\c.txt: error: its content is not what update.sha256 line 7 lists (another "
                     "SHA-256): a damaged file",
                     "gamedata\\data\\e.txt: error: not listed in update.sha256",
                     "gamedata\\data\\d.txt: error: missing, but update.sha256 line 9 lists it",
                     "4 errors, 0 warnings; the update copies 4 files, 5 bytes"}));

    // Without one, only an update that ships files is worth a warning.
    DeleteFileW((folder / L"update.sha256").c_str());
    EXPECT_EQ(report(true), (lines{"update.sha256: warning: missing, so players' updater cannot tell a damaged download",
                                   "0 errors, 1 warning; the update copies 4 files, 5 bytes"}));
    script(keys);
    remove_folder_tree(folder / L"gamedata");
    make_folder(folder / L"gamedata");
    EXPECT_EQ(report(true), lines{"0 errors, 0 warnings; the update copies 0 files, 0 bytes"});
}

TEST_F(UpdateCheck, ManifestTheUpdaterWouldRefuseIsItsError)
{
    script(std::wstring(keys) + L"#COPY_FILE = \"a.txt\"\r\n");
    source(L"a.txt", "a");
    const struct {
        std::string manifest;
        std::wstring error;
    } cases[] = {
        {"# size 1\n" + digest_a + " *gamedata/a.txt\n" + digest_a + " *gamedata/b.txt\n",
         L"update.sha256:3: error: " + expected::manifest_unreadable(3)},
        {"# size 1\n" + digest_a + " *gamedata/../update.exe\n", L"update.sha256:2: error: " + expected::manifest_outside(2)},
        {"# size 1\n" + digest_a + " *gamedata/a.txt\n# size 1\n" + digest_a + " *gamedata/A.TXT\n",
         L"update.sha256:4: error: " + expected::manifest_unreadable(4)},
    };
    for (const auto& c : cases) {
        write_file(folder / L"update.sha256", c.manifest);
        EXPECT_EQ(report(true), (lines{to_utf8(c.error), "1 error, 0 warnings; the update copies 1 file, 1 byte"}))
            << c.manifest;
    }
}

TEST_F(UpdateCheck, TextAfterAValueIsIgnoredByTheUpdater)
{
    // Blanks after the quote are nothing; anything else is lost.
    script(std::wstring(keys) + L"#COPY_FILE = \"data\", \"movie\"\r\n#COPY_FILE = \"readme.txt\" \t\r\n");
    source(L"data\\a.pak");
    source(L"readme.txt");
    EXPECT_EQ(report(), (lines{"update.ini:4: warning: the updater takes \"data\" and ignores what follows its closing "
                               "quote: , \"movie\"",
                               "0 errors, 1 warning; the update copies 2 files, 2 bytes"}));
}

TEST_F(UpdateCheck, GamedataLaidOutOneLevelTooDeepIsAnError)
{
    script(std::wstring(keys) + L"#COPY_FILE = \"Hoshi\"\r\n");
    source(L"Hoshi\\VelkorEngine.exe", "MZ");
    source(L"Hoshi\\data\\a.pak");
    EXPECT_EQ(report(), (lines{"update.ini:4: error: copies the game's engine gamedata\\Hoshi\\VelkorEngine.exe: "
                               "gamedata is laid out too deep, and players would get a folder Hoshi in the game's "
                               "folder; move what gamedata\\Hoshi holds up into gamedata",
                               "1 error, 0 warnings; the update copies 2 files, 3 bytes"}));
}

TEST_F(UpdateCheck, FilesNoPlayerWantsThatAFolderEntryShips)
{
    // Named by a file entry, a file is shipped on purpose.
    script(std::wstring(keys) + L"#COPY_FILE = \"data\"\r\n#COPY_FILE = \"notes.bak\"\r\n");
    for (const wchar_t* rel : {L"data\\a.pak", L"data\\Thumbs.db", L"data\\sub\\.DS_Store", L"data\\DESKTOP.INI",
                               L"data\\a.pak.bak", L"notes.bak"}) {
        source(rel);
    }
    const std::string unwanted = ", which no player wants; the folder entry on line 4 ships it";
    EXPECT_EQ(report(), (lines{"gamedata\\data\\a.pak.bak: warning: a backup copy" + unwanted,
                               "gamedata\\data\\DESKTOP.INI: warning: Windows Explorer's folder settings" + unwanted,
                               "gamedata\\data\\sub\\.DS_Store: warning: a Mac's folder settings" + unwanted,
                               "gamedata\\data\\Thumbs.db: warning: Windows Explorer's thumbnail cache" + unwanted,
                               "0 errors, 4 warnings; the update copies 6 files, 6 bytes"}));
}

TEST_F(UpdateCheck, PathsThatLeaveThePlayersInstallationFolderLittleRoom)
{
    // 159 characters below gamedata leave 99 of 260 (with a separator and the
    // closing zero); 158 leave 100, which is enough.
    const std::wstring folder_name(100, L'd');
    const std::wstring deep = folder_name + L"\\" + std::wstring(54, L'e') + L".dat";
    script(std::wstring(keys) + L"#COPY_FILE = \"" + folder_name + L"\"\r\n");
    source(deep);
    source(folder_name + L"\\" + std::wstring(53, L'f') + L".dat");
    EXPECT_EQ(report(), (lines{"gamedata\\" + to_utf8(deep) + ": warning: 159 characters inside the update, which "
                               "leave the players' installation folder only 99 characters of Windows' 260 for its own "
                               "path; where it is longer, players' updaters may fail on this file",
                               "0 errors, 1 warning; the update copies 2 files, 2 bytes"}));
}

TEST_F(UpdateCheck, ANameInDecomposedUnicodeIsAnError)
{
    script(std::wstring(keys) + L"#COPY_FILE = \"data\"\r\n");
    source(L"data\\cafe\u0301.txt");
    EXPECT_EQ(report(), (lines{to_utf8(L"gamedata\\data\\cafe\u0301.txt") + ": error: a name in decomposed Unicode "
                               "(U+0065 U+0301 for U+00E9), as a Mac writes names: Windows holds it apart from the "
                               "composed name the game opens, so players keep the old file; rename it in composed form",
                               "1 error, 0 warnings; the update copies 1 file, 1 byte"}));
}

TEST_F(UpdateCheck, AnUpdaterOfAnotherVersionIsAWarning)
{
    script(std::wstring(keys) + L"#COPY_FILE = \"a.txt\"\r\n");
    source(L"a.txt");
    // A system file with a version record of its own in update.exe's place.
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\kernel32.dll").c_str(), (folder / L"update.exe").c_str(), FALSE));
    const lines found = report();
    ASSERT_EQ(found.size(), 2u) << testing::PrintToString(found);
    EXPECT_EQ(found[0].rfind("update.exe: warning: version ", 0), 0u) << found[0];
    EXPECT_NE(found[0].find(" by its version record, not " UPDATER_VERSION_TEXT " as this build's checker and maker; "
                            "ship the update.exe of their build"),
              std::string::npos)
        << found[0];
}

}  // namespace
