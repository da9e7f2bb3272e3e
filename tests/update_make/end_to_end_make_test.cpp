#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "program_version.h"
#include "support/console_run.h"
#include "support/update_fixture.h"
#include "support/expected_texts.h"
#include "support/utf8_text.h"

// The built update_make.exe run as a publisher runs it, its output redirected;
// then the update it made applied by the real update.exe to a game installed
// as the old release, which must come out as the new one.

namespace {

const wchar_t* const title = L"星の迷宮 1.02";
const wchar_t* const game = L"星の迷宮";

using C_files = std::map<std::wstring, std::string>;

void write_files(const std::wstring& folder, const C_files& files)
{
    for (const auto& file : files) write_file(folder + L"\\" + file.first, file.second);
}

// The tree a snapshot gives for these files: their folders too.
C_tree tree_of(const C_files& files)
{
    C_tree tree;
    for (const auto& file : files) {
        tree[file.first] = file.second;
        for (auto slash = file.first.find(L'\\'); slash != std::wstring::npos; slash = file.first.find(L'\\', slash + 1)) {
            tree[file.first.substr(0, slash + 1)];
        }
    }
    return tree;
}

class EndToEndMake : public testing::Test {
protected:
    C_console_run make(const std::vector<std::wstring>& more_args)
    {
        return run_console(built_maker_path(), args_with(L"out", more_args), work.path(), 120000);
    }

    // OLD and NEW, then `out` and the options every make needs, then `more_args`.
    std::vector<std::wstring> args_with(const std::wstring& out, const std::vector<std::wstring>& more_args = {})
    {
        std::vector<std::wstring> args{L"old", L"new", out, L"--reg-path", machine.reg_path(), L"--game-title",
                                       game, L"--update-title", title, L"--updater", built_updater_path()};
        args.insert(args.end(), more_args.begin(), more_args.end());
        return args;
    }

    // Two releases whose update takes a while to lay out: NEW brings `files`
    // files of 256 KiB.
    void write_large_releases(int files)
    {
        write_files(work / L"old", {{L"VelkorEngine.exe", "MZ engine"}});
        write_files(work / L"new", {{L"VelkorEngine.exe", "MZ engine"}});
        for (int i = 0; i < files; ++i) {
            write_file(work / (L"new\\movie\\part" + std::to_wstring(i) + L".mpg"),
                       pattern_bytes(256 * 1024, static_cast<std::uint32_t>(i)));
        }
    }

    // What lies in the work folder besides the releases: OUT and any working folder.
    std::vector<std::wstring> made_beside_releases() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW item;
        const HANDLE find = FindFirstFileW((work.path() + L"\\*").c_str(), &item);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = item.cFileName;
            if (name != L"." && name != L".." && name != L"old" && name != L"new") names.push_back(name);
        } while (FindNextFileW(find, &item));
        FindClose(find);
        return names;
    }

    // Waits until the maker has begun to lay the update out in its working folder.
    bool working_folder_appears(const C_console_process& maker) const
    {
        for (int waited = 0; waited < 60000 && maker.running(); waited += 2) {
            for (const auto& name : made_beside_releases()) {
                if (name.rfind(L"out.making-", 0) == 0) return true;
            }
            Sleep(2);
        }
        return false;
    }

    C_temp_dir work;
    C_update_fixture machine;
};

TEST_F(EndToEndMake, TheMadeUpdateTurnsTheOldReleaseIntoTheNewOne)
{
    const C_files old_release{
        {L"VelkorEngine.exe", "MZ engine"},
        {L"data\\script.scr", pattern_bytes(3000000, 1)},
        {L"data\\graphics.pak", pattern_bytes(5000, 2)},
        {L"readme.txt", "readme 1.01"},
        {L"retired.dat", "no longer shipped"},
        {L"legacy\\old.dll", "MZ stale"},
        {L"scenes\\old_scene.scr", "a scene no longer played"},
        {L"save\\slot1.sav", "the player's own save"},
    };
    C_files new_release = old_release;
    for (const wchar_t* gone : {L"retired.dat", L"legacy\\old.dll", L"scenes\\old_scene.scr"}) new_release.erase(gone);
    new_release[L"data\\script.scr"][2999999] ^= 1;
    new_release[L"readme.txt"] = "readme 1.02, longer";
    new_release[L"save\\slot1.sav"] = "the developer's test save";
    new_release[L"data\\追加.pak"] = pattern_bytes(700, 3);
    new_release[L"ムービー\\op.mpg"] = pattern_bytes(1200000, 4);
    new_release[L"ムービー\\sub\\ed.mpg"] = pattern_bytes(900, 5);
    // Below the top level a name need not fit code page 932: no entry spells it.
    new_release[L"data\\naïve.pak"] = pattern_bytes(300, 6);
    write_files(work / L"old", old_release);
    write_files(work / L"new", new_release);

    const C_console_run run = make({L"--exclude", L"save\\*"});

    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exit_code, 0u) << run.output << run.errors;
    EXPECT_EQ(run.output, "0 errors, 0 warnings; the update copies 6 files, 4201919 bytes and removes 3 files\n");
    EXPECT_EQ(run.errors, "");

    // The made update shipped as it is: its script and gamedata beside the
    // built update.exe, which is what it placed.
    const C_tree made = snapshot_tree(work / L"out");
    EXPECT_EQ(made.at(L"update.exe"), read_file(built_updater_path()));
    // Shipped with the update, so that the updater holds every file to it.
    EXPECT_EQ(made.count(L"update.sha256"), 1u);
    // One entry for each top-level folder or file of the update, however many
    // files lie below, and one for each file the update removes.
    const std::string script = made.at(L"update.ini");
    EXPECT_EQ(script.substr(script.find("#COPY_FILE")),
              to_code_page_932(L"#COPY_FILE = \"data\"\r\n#COPY_FILE = \"readme.txt\"\r\n#COPY_FILE = \"ムービー\"\r\n"
                               L"#DELETE_FILE = \"legacy\\\\old.dll\"\r\n#DELETE_FILE = \"retired.dat\"\r\n"
                               L"#DELETE_FILE = \"scenes\\\\old_scene.scr\"\r\n"));
    for (const auto& item : made) {
        if (item.first.back() != L'\\' && item.first != L"update.exe") {
            write_file(machine.update_dir() + L"\\" + item.first, item.second);
        }
    }
    // The player's installation: OLD, with two files of the player's own
    // beside the save that the make left out.
    C_files installed = old_release;
    installed[L"config.ini"] = "fullscreen=1";
    installed[L"scenes\\mine.scr"] = "the player's own scene";
    write_files(machine.game_dir(), installed);
    machine.install_game();

    const C_run applied = machine.run({box_answer::yes, box_answer::ok});

    EXPECT_TRUE(applied.problems.empty()) << applied.report();
    EXPECT_EQ(applied.shown_boxes(), (std::vector<C_box>{consent_box(title, machine.game_dir()), success_box(title)}));
    // NEW, byte for byte, with the player's files: the folder that held only a
    // removed file is gone, the one that holds a file of the player's stays.
    C_files expected = new_release;
    expected[L"save\\slot1.sav"] = old_release.at(L"save\\slot1.sav");
    expected[L"config.ini"] = installed.at(L"config.ini");
    expected[L"scenes\\mine.scr"] = installed.at(L"scenes\\mine.scr");
    EXPECT_EQ(tree_differences(tree_of(expected), snapshot_tree(machine.game_dir())), "");
}

TEST_F(EndToEndMake, RefusesAnOutputFolderThatHoldsSomething)
{
    write_files(work / L"old", {{L"a.txt", "1"}});
    write_files(work / L"new", {{L"a.txt", "2"}});
    write_file(work / L"out\\keep.txt", "earlier work");

    const C_console_run run = make({});

    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exit_code, 2u);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "update_make: out must not exist yet, or be empty\n\n"
                          "Run update_make.exe --help for the usage.\n");
    EXPECT_EQ(tree_differences({{L"keep.txt", "earlier work"}}, snapshot_tree(work / L"out")), "");
}

TEST_F(EndToEndMake, OutGivenWithATrailingSeparatorIsTheFolderItNames)
{
    write_files(work / L"old", {{L"VelkorEngine.exe", "MZ engine"}, {L"a.txt", "1"}});
    write_files(work / L"new", {{L"VelkorEngine.exe", "MZ engine"}, {L"a.txt", "2"}});

    const C_console_run run = run_console(built_maker_path(), args_with(L"out\\"), work.path());

    EXPECT_EQ(run.exit_code, 0u) << run.output << run.errors;
    EXPECT_EQ(made_beside_releases(), std::vector<std::wstring>{L"out"});
    EXPECT_EQ(read_file(work / L"out\\gamedata\\a.txt"), "2");
}

TEST_F(EndToEndMake, UsageErrorsComeBeforeAnythingIsRead)
{
    write_files(work / L"old", {{L"VelkorEngine.exe", "MZ engine"}, {L"a.txt", "1"}});
    write_files(work / L"new", {{L"VelkorEngine.exe", "MZ engine"}, {L"a.txt", "2"}});
    wchar_t short_new[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW((work / L"new").c_str(), short_new, MAX_PATH), 0u);
    // NEW by another spelling: its short name where the file system has one, else a change of case.
    std::wstring new_respelled = short_new;
    if (new_respelled == work / L"new") new_respelled = work / L"NEW";

    const struct {
        std::vector<std::wstring> args;
        std::string problem;
    } cases[] = {
        {args_with(L"."), ". is the current folder or holds it; give a new folder beside it"},
        {args_with(new_respelled + L"\\update"), to_utf8(new_respelled) + "\\update lies inside new"},
        {args_with(L"out", {L"--reg-path=HKLM\\Software\\Velkor"}),
         "--reg-path HKLM\\Software\\Velkor begins with the root key \"HKLM\": the updater opens "
         "HKEY_LOCAL_MACHINE\\Software\\HKLM\\Software\\Velkor; give only the key below "
         "HKEY_LOCAL_MACHINE\\Software: Velkor"},
        {args_with(L"out", {L"--dry-run=yes"}), "--dry-run takes no value"},
        {args_with(L"out", {L"--format=xml"}), "--format takes text or json, not xml"},
    };
    for (const auto& c : cases) {
        const C_console_run run = run_console(built_maker_path(), c.args, work.path());
        EXPECT_EQ(run.exit_code, 2u) << c.problem;
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.errors, "update_make: " + c.problem + "\n\nRun update_make.exe --help for the usage.\n");
    }
    EXPECT_EQ(made_beside_releases(), std::vector<std::wstring>{});
    EXPECT_EQ(tree_differences({{L"VelkorEngine.exe", "MZ engine"}, {L"a.txt", "2"}}, snapshot_tree(work / L"new")), "");
}

TEST_F(EndToEndMake, DryRunPrintsWhatWouldShipAndWritesNothing)
{
    write_files(work / L"old", {{L"VelkorEngine.exe", "MZ engine"},
                                {L"readme.txt", "1.01"},
                                {L"legacy\\old.dll", "retired"},
                                {L"data\\event\\old_scene.scr", "retired"},
                                {L"save\\slot9.sav", "the developer's, never shipped"}});
    write_files(work / L"new", {{L"VelkorEngine.exe", "MZ engine"},
                                {L"readme.txt", "1.02!"},
                                {L"movie\\op.mpg", "opening"},
                                {L"movie\\ed.mpg", "ending"},
                                {L"save\\slot1.sav", "the developer's"}});

    const C_console_run run = make({L"--dry-run", L"--exclude=save\\"});

    EXPECT_EQ(run.exit_code, 0u) << run.errors;
    EXPECT_EQ(run.output, "would ship movie: 2 files, 13 bytes\n"
                          "would ship readme.txt: 1 file, 5 bytes\n"
                          "would remove data\\event\\old_scene.scr\n"
                          "would remove legacy\\old.dll\n"
                          "0 errors, 0 warnings; the update copies 3 files, 18 bytes and removes 2 files (dry run: "
                          "nothing was written)\n");
    EXPECT_EQ(made_beside_releases(), std::vector<std::wstring>{});
}

TEST_F(EndToEndMake, StrictMakesNoUpdateOverAWarningAndJsonSaysSo)
{
    write_files(work / L"old", {{L"VelkorEngine.exe", "MZ engine 1.01"}, {L"readme.txt", "1.01"}});
    write_files(work / L"new", {{L"VelkorEngine.exe", "MZ engine 1.02"}, {L"readme.txt", "1.02!"}});
    const std::string engine_changes = "the game's engine changes; the update replaces it, so players must close the "
                                       "game before they run update.exe";

    const C_console_run text = make({L"--strict"});
    EXPECT_EQ(text.exit_code, 1u) << text.errors;
    EXPECT_EQ(text.output, "new\\VelkorEngine.exe: warning: " + engine_changes +
                               "\n0 errors, 1 warning; the update copies 2 files, 19 bytes (--strict: warnings count "
                               "as errors, so nothing was made)\n");
    EXPECT_EQ(made_beside_releases(), std::vector<std::wstring>{});

    const C_console_run json = make({L"--strict", L"--format", L"json"});
    EXPECT_EQ(json.exit_code, 1u) << json.errors;
    EXPECT_EQ(json.output, "{\n"
                           "  \"findings\": [\n"
                           "    {\"file\": \"new\\\\VelkorEngine.exe\", \"line\": null, \"severity\": \"warning\", "
                           "\"code\": \"engine-changes\", \"message\": \"" +
                               engine_changes +
                               "\"}\n"
                               "  ],\n"
                               "  \"errors\": 0,\n"
                               "  \"warnings\": 1,\n"
                               "  \"copied_files\": 2,\n"
                               "  \"copied_bytes\": 19,\n"
                               "  \"removed_files\": 0,\n"
                               "  \"made\": false,\n"
                               "  \"dry_run\": false\n"
                               "}\n");
    EXPECT_EQ(made_beside_releases(), std::vector<std::wstring>{});

    // Without --strict the same warning lets the update be made.
    EXPECT_EQ(make({}).exit_code, 0u);
    EXPECT_EQ(made_beside_releases(), std::vector<std::wstring>{L"out"});
}

TEST_F(EndToEndMake, HelpAnywhereAndTheVersionOfEachProgram)
{
    const C_console_run help = run_console(built_maker_path(), {L"old", L"--bogus", L"--help"}, work.path());
    EXPECT_EQ(help.exit_code, 0u);
    EXPECT_EQ(help.output.rfind("Usage: update_make.exe OLD NEW OUT", 0), 0u) << help.output;

    const std::string version = UPDATER_VERSION_TEXT;
    EXPECT_EQ(run_console(built_maker_path(), {L"--version"}, work.path()).output, "update_make.exe " + version + "\n");
    EXPECT_EQ(run_console(built_checker_path(), {L"--version", L"no such folder"}, work.path()).output,
              "update_check.exe " + version + "\n");

    // The version record the file's properties show.
    for (const auto& program : {built_updater_path(), built_checker_path(), built_maker_path()}) {
        DWORD ignored = 0;
        std::vector<char> record(GetFileVersionInfoSizeW(program.c_str(), &ignored));
        ASSERT_FALSE(record.empty()) << to_utf8(program);
        ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));
        struct {
            WORD language;
            WORD code_page;
        }* translation = nullptr;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                                   reinterpret_cast<void**>(&translation), &size));
        const auto text = [&](const wchar_t* name) {
            wchar_t key[128];
            swprintf(key, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->code_page, name);
            wchar_t* value = nullptr;
            UINT length = 0;
            return VerQueryValueW(record.data(), key, reinterpret_cast<void**>(&value), &length) && value
                       ? to_utf8(value)
                       : std::string();
        };
        EXPECT_EQ(text(L"ProductName"), UPDATER_PRODUCT_NAME) << to_utf8(program);
        EXPECT_EQ(text(L"FileVersion"), version) << to_utf8(program);
        EXPECT_EQ(text(L"ProductVersion"), version) << to_utf8(program);
        EXPECT_NE(text(L"FileDescription"), "") << to_utf8(program);
        VS_FIXEDFILEINFO* fixed = nullptr;
        ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
        EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(UPDATER_VERSION_MAJOR << 16 | UPDATER_VERSION_MINOR));
        EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(UPDATER_VERSION_PATCH << 16));
    }
}

BOOL WINAPI stay_on_ctrl_c(DWORD)
{
    return TRUE;
}

TEST_F(EndToEndMake, CtrlCRemovesTheWorkingFolderAndLeavesOutAsItWas)
{
    write_large_releases(400);
    // A console of this test's own, shared with the maker, for Ctrl-C to travel on.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    SetConsoleCtrlHandler(stay_on_ctrl_c, TRUE);
    C_console_process maker(built_maker_path(), args_with(L"out"), work.path(), true);
    ASSERT_TRUE(maker.started());

    const bool laying_out = working_folder_appears(maker);
    if (laying_out) {
        EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    }
    const C_console_run run = maker.finish(60000);
    SetConsoleCtrlHandler(stay_on_ctrl_c, FALSE);
    FreeConsole();

    ASSERT_TRUE(laying_out) << "the make ended before Ctrl-C could be sent: " << run.output << run.errors;
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exit_code, static_cast<DWORD>(STATUS_CONTROL_C_EXIT)) << run.output << run.errors;
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "update_make: interrupted; nothing was made, and out is as it was\n");
    EXPECT_EQ(made_beside_releases(), std::vector<std::wstring>{});
}

TEST_F(EndToEndMake, TheNextMakeRemovesWhatAKilledOneLeftBehind)
{
    write_large_releases(400);
    {
        C_console_process maker(built_maker_path(), args_with(L"out"), work.path());
        ASSERT_TRUE(working_folder_appears(maker)) << "the make ended before it could be killed";
        maker.kill();
    }
    const std::vector<std::wstring> left = made_beside_releases();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].rfind(L"out.making-", 0), 0u);

    const C_console_run run = make({});

    EXPECT_EQ(run.exit_code, 0u) << run.output << run.errors;
    EXPECT_EQ(made_beside_releases(), std::vector<std::wstring>{L"out"});
}

// A made update damaged after the maker wrote its manifest, as a broken
// extraction or a bad download leaves it, applied to the old release.
class DamagedDownload : public EndToEndMake {
protected:
    void SetUp() override
    {
        old_release = {{L"VelkorEngine.exe", "MZ engine"},
                       {L"base.pak", "old base"},
                       {L"data\\voice.pak", pattern_bytes(2000000, 1)}};
        C_files new_release = old_release;
        new_release[L"base.pak"] = "new base";
        new_release[L"data\\voice.pak"] = pattern_bytes(3000000, 2);
        write_files(work / L"old", old_release);
        write_files(work / L"new", new_release);
        const C_console_run made = make({});
        ASSERT_EQ(made.exit_code, 0u) << made.output << made.errors;
        for (const auto& item : snapshot_tree(work / L"out")) {
            if (item.first.back() != L'\\' && item.first != L"update.exe") {
                write_file(machine.update_dir() + L"\\" + item.first, item.second);
            }
        }
        write_files(machine.game_dir(), old_release);
        machine.install_game();
        voice = machine.source_dir() + L"\\data\\voice.pak";
    }

    // The checker on the damaged update: one error, naming the file.
    void expect_checker_names(const std::string& error, const std::string& bytes_copied)
    {
        const C_console_run checked = run_console(built_checker_path(), {machine.update_dir()}, work.path());
        EXPECT_EQ(checked.exit_code, 1u);
        EXPECT_EQ(checked.output, "gamedata\\data\\voice.pak: error: " + error +
                                      "\n1 error, 0 warnings; the update copies 2 files, " + bytes_copied + " bytes\n");
    }

    void expect_game_as_before()
    {
        EXPECT_EQ(tree_differences(tree_of(old_release), snapshot_tree(machine.game_dir())), "");
    }

    C_files old_release;
    std::wstring voice;
};

TEST_F(DamagedDownload, AFileCutShortIsFoundBeforeThePrompt)
{
    write_file(voice, read_file(voice).substr(0, 1500000));

    const C_run run = machine.run({box_answer::ok, box_answer::ok});

    EXPECT_TRUE(run.problems.empty()) << run.report();
    EXPECT_EQ(run.shown_boxes(), failure_boxes(title, expected::update_file_damaged(L"gamedata\\data\\voice.pak")));
    expect_game_as_before();
    expect_checker_names("is 1500000 bytes; update.sha256 line 5 lists 3000000 bytes", "1500008");
}

TEST_F(DamagedDownload, AFileWithOneByteChangedIsFoundByTheCopyAndUndone)
{
    std::string bytes = read_file(voice);
    bytes[2500000] ^= 0x20;
    write_file(voice, bytes);

    const C_run run = machine.run({box_answer::yes, box_answer::ok, box_answer::ok});

    EXPECT_TRUE(run.problems.empty()) << run.report();
    std::vector<C_box> boxes{consent_box(title, machine.game_dir())};
    for (const auto& box : failure_boxes(title, expected::update_file_damaged(L"gamedata\\data\\voice.pak"))) {
        boxes.push_back(box);
    }
    EXPECT_EQ(run.shown_boxes(), boxes);
    // base.pak, replaced before, is taken back too.
    expect_game_as_before();
    expect_checker_names("its content is not what update.sha256 line 5 lists (another SHA-256): a damaged file",
                         "3000008");
}

}  // namespace
