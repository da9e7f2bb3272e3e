#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "support/console_run.h"
#include "support/update_fixture.h"
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
        std::vector<std::wstring> args{L"old", L"new", L"out", L"--reg-path", machine.reg_path(), L"--game-title",
                                       game, L"--update-title", title, L"--updater", built_updater_path()};
        args.insert(args.end(), more_args.begin(), more_args.end());
        return run_console(built_maker_path(), args, work.path(), 120000);
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
        {L"save\\slot1.sav", "the player's own save"},
    };
    C_files new_release = old_release;
    new_release.erase(L"retired.dat");
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
    EXPECT_EQ(run.output, "old\\retired.dat: warning: gone from new; the updater deletes nothing, so players keep this "
                          "file\n0 errors, 1 warning; the update copies 6 files, 4201919 bytes\n");
    EXPECT_EQ(run.errors, "");

    // The made update shipped as it is: its script and gamedata beside the
    // built update.exe, which is what it placed.
    const C_tree made = snapshot_tree(work / L"out");
    EXPECT_EQ(made.at(L"update.exe"), read_file(built_updater_path()));
    // One entry for each top-level folder or file of the update, however many files lie below.
    const std::string script = made.at(L"update.ini");
    EXPECT_EQ(script.substr(script.find("#COPY_FILE")),
              to_code_page_932(L"#COPY_FILE = \"data\"\r\n#COPY_FILE = \"readme.txt\"\r\n#COPY_FILE = \"ムービー\"\r\n"));
    for (const auto& item : made) {
        if (item.first.back() != L'\\' && item.first != L"update.exe") {
            write_file(machine.update_dir() + L"\\" + item.first, item.second);
        }
    }
    write_files(machine.game_dir(), old_release);
    machine.install_game();

    const C_run applied = machine.run({box_answer::yes, box_answer::ok});

    EXPECT_TRUE(applied.problems.empty()) << applied.report();
    EXPECT_EQ(applied.shown_boxes(), (std::vector<C_box>{consent_box(title, machine.game_dir()), success_box(title)}));
    // Excluded paths keep the player's files, and what the update cannot delete stays.
    C_files expected = new_release;
    expected[L"save\\slot1.sav"] = old_release.at(L"save\\slot1.sav");
    expected[L"retired.dat"] = old_release.at(L"retired.dat");
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

}  // namespace
