#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/expected_texts.h"
#include "support/update_fixture.h"
#include "support/utf8_text.h"

// The built update.exe killed partway through its copy, as a power cut or a
// player ending it would stop it, and started again: the next start puts the
// installation back before anything else, tells the player, and goes on.

namespace {

const wchar_t* const title = L"冬の大型アップデート";
const wchar_t* const game = L"ヴェルコール物語";
const std::size_t BIG = 64000000;

class InterruptedUpdate : public ::testing::Test {
protected:
    // An update that replaces an old file and the engine, makes a new folder,
    // and ends with a large new file, during which the updater is killed.
    void SetUp() override
    {
        machine.add_source_file(L"a.dat", pattern_bytes(300000, 1));
        machine.add_source_file(L"VelkorEngine.exe", "MZ new engine");
        machine.add_source_file(L"maps\\new\\first.map", pattern_bytes(5000, 2));
        big = pattern_bytes(BIG, 3);
        machine.add_source_file(L"big.bin", big);
        machine.write_script(title, game, {L"a.dat", L"VelkorEngine.exe", L"maps", L"big.bin"});
        machine.install_game();
        machine.add_game_file(L"a.dat", "the player's old a.dat");
        age_file(machine.game_dir() + L"\\a.dat", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
        age_file(machine.game_dir() + L"\\VelkorEngine.exe", FILE_ATTRIBUTE_ARCHIVE);
        before_files = snapshot_tree(machine.game_dir());
        before_details = snapshot_details(machine.game_dir());
    }

    // Runs the update, answers Yes, and kills it once the large file is partly written.
    void kill_partway()
    {
        const std::wstring target = machine.game_dir() + L"\\big.bin";
        C_run_options options;
        options.answers = {box_answer::yes};
        options.follow_progress_dialog = false;
        std::uint64_t seen = 0;
        options.on_progress_shown = [&](HANDLE process) {
            for (DWORD waited = 0; waited < 20000 && seen == 0; waited += 1) {
                WIN32_FILE_ATTRIBUTE_DATA data;
                if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) {
                    seen = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                }
                if (seen == 0) Sleep(1);
            }
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 10000);
        };
        const C_run run = machine.run_with(options);
        ASSERT_TRUE(run.problems.empty()) << run.report();
        ASSERT_GT(seen, 0u) << "the large file was never seen being written";
        ASSERT_EQ(run.exit_code, 1u) << "killed, not ended by itself";

        const C_tree left = snapshot_tree(machine.game_dir());
        ASSERT_TRUE(left.count(L"~update_rollback\\update.journal")) << "the copy was under way";
        ASSERT_TRUE(left.count(L"big.bin"));
        ASSERT_LT(left.at(L"big.bin").size(), BIG) << "killed partway through the large file";
        ASSERT_EQ(left.at(L"a.dat"), pattern_bytes(300000, 1)) << "the old file had been replaced";
    }

    void expect_as_before()
    {
        EXPECT_EQ(tree_differences(before_files, snapshot_tree(machine.game_dir())), "");
        EXPECT_EQ(details_differences(before_details, snapshot_details(machine.game_dir())), "");
    }

    static void expect_clean(const C_run& run)
    {
        EXPECT_TRUE(run.problems.empty()) << run.report();
        EXPECT_TRUE(run.exited) << run.report();
        EXPECT_EQ(run.exit_code, 0u);
    }

    C_update_fixture machine;
    std::string big;
    C_tree before_files;
    C_tree before_details;
};

TEST_F(InterruptedUpdate, NextStartRollsBackAndSaysSoBeforeThePromptAnsweredNo)
{
    ASSERT_NO_FATAL_FAILURE(kill_partway());

    const C_run run = machine.run({box_answer::ok, box_answer::no, box_answer::ok});

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), (std::vector<C_box>{notice_box(title, expected::interrupted_update_rolled_back),
                                                     consent_box(title, machine.game_dir()), stopped_box(title)}));
    expect_as_before();
}

TEST_F(InterruptedUpdate, NextStartRollsBackThenUpdatesWhenAnsweredYes)
{
    ASSERT_NO_FATAL_FAILURE(kill_partway());

    const C_run run = machine.run({box_answer::ok, box_answer::yes, box_answer::ok});

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), (std::vector<C_box>{notice_box(title, expected::interrupted_update_rolled_back),
                                                     consent_box(title, machine.game_dir()), success_box(title)}));
    C_tree expected = before_files;
    expected[L"a.dat"] = pattern_bytes(300000, 1);
    expected[L"VelkorEngine.exe"] = "MZ new engine";
    expected[L"maps\\"];
    expected[L"maps\\new\\"];
    expected[L"maps\\new\\first.map"] = pattern_bytes(5000, 2);
    expected[L"big.bin"] = big;
    EXPECT_EQ(tree_differences(expected, snapshot_tree(machine.game_dir())), "");
}

TEST_F(InterruptedUpdate, RollbackThatCannotBeDoneStopsTheUpdateAndKeepsEverything)
{
    ASSERT_NO_FATAL_FAILURE(kill_partway());
    // Another program holds the partial file, so it cannot be deleted.
    HANDLE held = CreateFileW((machine.game_dir() + L"\\big.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const C_tree left = snapshot_tree(machine.game_dir());

    const C_run refused = machine.run({box_answer::ok, box_answer::ok});
    CloseHandle(held);

    expect_clean(refused);
    EXPECT_EQ(refused.shown_boxes(),
              failure_boxes(title, expected::rollback_failed(machine.game_dir() + L"\\~update_rollback")));
    C_tree kept = snapshot_tree(machine.game_dir());
    // What could be undone was; what could not stays with the journal and the old files.
    EXPECT_TRUE(kept.count(L"~update_rollback\\update.journal"));
    EXPECT_EQ(kept[L"big.bin"], left.at(L"big.bin"));
    EXPECT_EQ(kept.count(L"maps\\"), 0u);

    // Once the file is free, the next start completes the rollback.
    const C_run run = machine.run({box_answer::ok, box_answer::no, box_answer::ok});
    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), (std::vector<C_box>{notice_box(title, expected::interrupted_update_rolled_back),
                                                     consent_box(title, machine.game_dir()), stopped_box(title)}));
    expect_as_before();
}

}  // namespace
