#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/expected_texts.h"
#include "support/update_fixture.h"
#include "support/utf8_text.h"

// The built update.exe killed partway through its copy, as a player ending it
// or a crash would stop it, and started again. Killed while it writes the new
// files in its work folder, it had changed nothing: the next start says nothing
// of it. Killed while the files take their places, the next start puts the
// installation back before anything else, tells the player, and goes on.

namespace {

const wchar_t* const title = L"冬の大型アップデート";
const wchar_t* const game = L"ヴェルコール物語";
const std::size_t BIG = 16000000;
// Enough files that putting them in place takes long enough to be killed in.
const int MAP_FILES = 1000;

class InterruptedUpdate : public ::testing::Test {
protected:
    // An update that replaces an old file and the engine, makes a new folder
    // of many files, and ends with a large new file.
    void SetUp() override
    {
        machine.add_source_file(L"a.dat", pattern_bytes(300000, 1));
        machine.add_source_file(L"VelkorEngine.exe", "MZ new engine");
        for (int i = 0; i < MAP_FILES; ++i) {
            machine.add_source_file(L"maps\\new\\" + std::to_wstring(i) + L".map",
                                    pattern_bytes(100, static_cast<std::uint32_t>(i)));
        }
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

    // Runs the update, answers Yes, and kills it once `reached` holds, looked
    // at every millisecond.
    void kill_when(const std::function<bool()>& reached)
    {
        C_run_options options;
        options.answers = {box_answer::yes};
        options.follow_progress_dialog = false;
        bool seen = false;
        options.on_progress_shown = [&](HANDLE process) {
            for (DWORD waited = 0; waited < 60000 && !seen; waited += 1) {
                seen = reached();
                if (!seen) Sleep(1);
            }
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 10000);
        };
        const C_run run = machine.run_with(options);
        ASSERT_TRUE(run.problems.empty()) << run.report();
        ASSERT_TRUE(seen) << "the copy never reached the point it was to be killed at";
        ASSERT_EQ(run.exit_code, 1u) << "killed, not ended by itself";
    }

    std::uint64_t size_of(const std::wstring& path) const
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
        return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    // Killed once the large file is partly written in the work folder.
    void kill_while_writing()
    {
        // The large file is the last step: after the two replaced files, the two new folders and the maps.
        const std::size_t step = MAP_FILES + 4;
        const std::wstring staged = machine.game_dir() + L"\\~update_rollback\\staged\\" +
                                    std::to_wstring(step / 1000) + L"\\" + std::to_wstring(step);
        ASSERT_NO_FATAL_FAILURE(kill_when([&] { return size_of(staged) > 0; }));
        const C_tree left = snapshot_tree(machine.game_dir());
        ASSERT_TRUE(left.count(L"~update_rollback\\update.journal")) << "the copy was under way";
        ASSERT_LT(size_of(staged), BIG) << "killed partway through the large file";
        C_tree without_work_folder;
        for (const auto& item : left) {
            if (item.first.compare(0, 17, L"~update_rollback\\") != 0) without_work_folder.insert(item);
        }
        ASSERT_EQ(tree_differences(before_files, without_work_folder), "") << "nothing was in place yet";
    }

    // Killed once the first file has taken its place, before the many new ones have.
    void kill_while_placing()
    {
        const std::wstring replaced = machine.game_dir() + L"\\a.dat";
        ASSERT_NO_FATAL_FAILURE(kill_when([&] { return size_of(replaced) == 300000; }));
        const C_tree left = snapshot_tree(machine.game_dir());
        ASSERT_TRUE(left.count(L"~update_rollback\\update.journal")) << "the copy was under way";
        ASSERT_EQ(left.at(L"a.dat"), pattern_bytes(300000, 1)) << "the old file had been replaced";
        ASSERT_FALSE(left.count(L"big.bin")) << "killed before the last file took its place";
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

TEST_F(InterruptedUpdate, KilledWhileWritingItsFilesTheNextStartSaysNothingOfIt)
{
    ASSERT_NO_FATAL_FAILURE(kill_while_writing());

    const C_run run = machine.run({box_answer::no, box_answer::ok});

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(),
              (std::vector<C_box>{consent_box(title, machine.game_dir()), stopped_box(title)}));
    expect_as_before();
}

TEST_F(InterruptedUpdate, NextStartRollsBackAndSaysSoBeforeThePromptAnsweredNo)
{
    ASSERT_NO_FATAL_FAILURE(kill_while_placing());

    const C_run run = machine.run({box_answer::ok, box_answer::no, box_answer::ok});

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), (std::vector<C_box>{notice_box(title, expected::interrupted_update_rolled_back),
                                                     consent_box(title, machine.game_dir()), stopped_box(title)}));
    expect_as_before();
}

TEST_F(InterruptedUpdate, NextStartRollsBackThenUpdatesWhenAnsweredYes)
{
    ASSERT_NO_FATAL_FAILURE(kill_while_placing());

    const C_run run = machine.run({box_answer::ok, box_answer::yes, box_answer::ok});

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), (std::vector<C_box>{notice_box(title, expected::interrupted_update_rolled_back),
                                                     consent_box(title, machine.game_dir()), success_box(title)}));
    C_tree expected = before_files;
    expected[L"a.dat"] = pattern_bytes(300000, 1);
    expected[L"VelkorEngine.exe"] = "MZ new engine";
    expected[L"maps\\"];
    expected[L"maps\\new\\"];
    for (int i = 0; i < MAP_FILES; ++i) {
        expected[L"maps\\new\\" + std::to_wstring(i) + L".map"] = pattern_bytes(100, static_cast<std::uint32_t>(i));
    }
    expected[L"big.bin"] = big;
    EXPECT_EQ(tree_differences(expected, snapshot_tree(machine.game_dir())), "");
}

TEST_F(InterruptedUpdate, RollbackThatCannotBeDoneStopsTheUpdateAndKeepsEverything)
{
    ASSERT_NO_FATAL_FAILURE(kill_while_placing());
    // Another program holds the replaced file, so its original cannot be put back.
    HANDLE held = CreateFileW((machine.game_dir() + L"\\a.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    const C_run refused = machine.run({box_answer::ok, box_answer::ok});
    const C_tree kept = snapshot_tree(machine.game_dir());
    CloseHandle(held);

    expect_clean(refused);
    EXPECT_EQ(refused.shown_boxes(),
              failure_boxes(title, expected::rollback_failed(machine.game_dir() + L"\\~update_rollback")));
    // What could be undone was; what could not stays with the journal and the old files.
    EXPECT_TRUE(kept.count(L"~update_rollback\\update.journal"));
    EXPECT_EQ(kept.at(L"a.dat"), pattern_bytes(300000, 1));
    EXPECT_EQ(kept.count(L"maps\\"), 0u);

    // Once the file is free, the next start completes the rollback.
    const C_run run = machine.run({box_answer::ok, box_answer::no, box_answer::ok});
    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), (std::vector<C_box>{notice_box(title, expected::interrupted_update_rolled_back),
                                                     consent_box(title, machine.game_dir()), stopped_box(title)}));
    expect_as_before();
}

}  // namespace
