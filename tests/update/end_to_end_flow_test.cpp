#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/expected_texts.h"
#include "support/test_drives.h"
#include "support/update_fixture.h"
#include "support/utf8_text.h"

// The built update.exe run under Wine through a whole update: consent, the
// progress dialog, the copy and its outcome, as a player meets it. The boxes
// and the progress dialog are read off the screen; the game folder must come
// out exactly as expected and nothing else may change.

namespace {

const wchar_t* const title = L"冬の大型アップデート";
const wchar_t* const game = L"ヴェルコール物語";
const std::uint64_t CHUNK = 1000000;

std::wstring dialog_caption()
{
    return expected::progress_caption(title);
}

std::vector<box_answer> consent_then_ok(std::size_t boxes_after_consent)
{
    std::vector<box_answer> answers{box_answer::yes};
    answers.insert(answers.end(), boxes_after_consent, box_answer::ok);
    return answers;
}

// The per-mille values the file bar can show while files of these sizes are
// copied in chunks: 0 before the first chunk, then one value per chunk.
std::set<int> file_bar_values(const std::vector<std::uint64_t>& sizes)
{
    std::set<int> values{0};
    for (std::uint64_t size : sizes) {
        for (std::uint64_t done = 0; size > 0 && done < size;) {
            done += std::min(CHUNK, size - done);
            values.insert(static_cast<int>(static_cast<double>(done) * 1000.0 / static_cast<double>(size)));
        }
    }
    return values;
}

class EndToEndFlow : public ::testing::Test {
protected:
    // Consent given, then a failure reported during the copy.
    std::vector<C_box> consent_then_failure(const std::wstring& text)
    {
        std::vector<C_box> boxes{consent_box(title, machine.game_dir())};
        for (const auto& box : failure_boxes(title, text)) boxes.push_back(box);
        return boxes;
    }

    void expect_clean(const C_run& run)
    {
        EXPECT_TRUE(run.problems.empty()) << run.report();
        EXPECT_TRUE(run.exited) << run.report();
        EXPECT_EQ(run.exit_code, 0u);
    }

    // The update and start folders are never written to.
    void expect_only_game_changed(const C_update_fixture::C_state& before, const C_update_fixture::C_state& after)
    {
        EXPECT_EQ(tree_differences(before.update, after.update), "") << "in the update folder";
        EXPECT_EQ(tree_differences(before.start, after.start), "") << "in the folder it was started from";
    }

    C_update_fixture machine;
};

TEST_F(EndToEndFlow, CompleteUpdateLandsByteForByteBehindTheProgressDialog)
{
    const std::string op = pattern_bytes(3000, 1);
    const std::string ed = pattern_bytes(5000, 2);
    const std::string big = pattern_bytes(12345678, 3);
    const std::string pak = pattern_bytes(700, 4);
    const std::string voice = pattern_bytes(2048, 5);
    const std::string credits = "staff";
    const std::string readme = "read me";
    const std::string manual = "manual";
    machine.add_source_file(L"movie\\op.mpg", op);
    machine.add_source_file(L"movie\\sub\\ed.mpg", ed);
    machine.add_source_file(L"movie\\sub\\deep\\credits.txt", credits);
    machine.add_source_file(L"Readme.TXT", readme);
    machine.add_source_file(L"data\\a.pak", pak);
    machine.add_source_file(L"data\\b.pak", "not listed, not copied");
    machine.add_source_file(L"big.bin", big);
    machine.add_source_file(L"音声\\ボイス001.ogg", voice);
    machine.add_source_file(L"説明書.txt", manual);
    machine.add_source_file(L"empty.dat", "");
    // A file entry written in another case, a file in a subfolder, an entry
    // listed twice.
    machine.write_script(title, game,
                         {L"movie", L"README.txt", L"data\\a.pak", L"big.bin", L"音声", L"説明書.txt", L"empty.dat",
                          L"説明書.txt"});
    machine.install_game();
    machine.add_game_file(L"movie\\op.mpg", pattern_bytes(10000, 9));  // longer than the new one
    machine.add_game_file(L"save\\slot1.sav", "keep me");
    const C_update_fixture::C_state before = machine.snapshot();

    const C_run run = machine.run(consent_then_ok(1));

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(),
              (std::vector<C_box>{consent_box(title, machine.game_dir()), success_box(title)}));
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_FALSE(run.boxes[0].progress.shown) << "the dialog comes after the consent";
    EXPECT_FALSE(run.boxes[1].progress.shown) << "the success box comes after the dialog is gone";

    C_tree expected = before.game;
    expected[L"movie\\op.mpg"] = op;
    expected[L"movie\\sub\\"];
    expected[L"movie\\sub\\ed.mpg"] = ed;
    expected[L"movie\\sub\\deep\\"];
    expected[L"movie\\sub\\deep\\credits.txt"] = credits;
    expected[L"Readme.TXT"] = readme;
    expected[L"data\\"];
    expected[L"data\\a.pak"] = pak;
    expected[L"big.bin"] = big;
    expected[L"音声\\"];
    expected[L"音声\\ボイス001.ogg"] = voice;
    expected[L"説明書.txt"] = manual;
    expected[L"empty.dat"] = "";
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(expected, after.game), "") << "in the game folder";
    expect_only_game_changed(before, after);

    // The dialog may have come and gone between two looks; whatever was seen
    // of it must be right. Its caption is set before it is shown.
    const C_progress_seen& progress = run.progress;
    EXPECT_LE(progress.windows, 1);
    if (progress.shown) {
        EXPECT_EQ(progress.boxes_before_shown, 1u);
        ASSERT_EQ(progress.captions.size(), 1u);
        EXPECT_EQ(to_utf8(progress.captions[0]), to_utf8(dialog_caption()));
    }
    const std::set<std::wstring> copied{L"movie\\op.mpg", L"movie\\sub\\ed.mpg", L"movie\\sub\\deep\\credits.txt",
                                        L"Readme.TXT",    L"data\\a.pak",        L"big.bin",
                                        L"音声\\ボイス001.ogg", L"説明書.txt",   L"empty.dat"};
    for (std::size_t i = 0; i < progress.lines.size(); ++i) {
        // Before its first file the line may still show the template's placeholder.
        const bool placeholder = i == 0 && progress.lines[i] == expected::dialog_placeholder;
        EXPECT_TRUE(placeholder || copied.count(progress.lines[i])) << "line " << quoted(progress.lines[i]);
    }
    const std::set<int> file_values = file_bar_values(
        {op.size(), ed.size(), credits.size(), readme.size(), pak.size(), big.size(), voice.size(), manual.size()});
    for (int position : progress.file_positions) EXPECT_TRUE(file_values.count(position)) << position;
    for (std::size_t i = 0; i < progress.total_positions.size(); ++i) {
        EXPECT_GE(progress.total_positions[i], 0);
        EXPECT_LE(progress.total_positions[i], 1000);
        if (i > 0) {
            EXPECT_GT(progress.total_positions[i], progress.total_positions[i - 1]) << run.report();
        }
    }
}

TEST_F(EndToEndFlow, NothingToCopyStillSucceeds)
{
    make_folder(machine.source_dir());
    machine.write_script(title, game, {});
    machine.install_game();
    const C_update_fixture::C_state before = machine.snapshot();

    const C_run run = machine.run(consent_then_ok(1));

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(),
              (std::vector<C_box>{consent_box(title, machine.game_dir()), success_box(title)}));
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_FALSE(run.boxes[1].progress.shown) << "the success box comes after the dialog is gone";
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(before.game, after.game), "");
    expect_only_game_changed(before, after);
}

TEST_F(EndToEndFlow, ClosingTheDialogDoesNotStopTheCopy)
{
    const std::string big = pattern_bytes(32000000, 7);
    machine.add_source_file(L"big.bin", big);
    machine.add_source_file(L"after.dat", "copied after the close");
    machine.write_script(title, game, {L"big.bin", L"after.dat"});
    machine.install_game();
    const C_update_fixture::C_state before = machine.snapshot();
    C_run_options options;
    options.answers = consent_then_ok(1);
    options.close_progress_dialog = true;

    const C_run run = machine.run_with(options);

    if (!run.progress.close_sent && run.exited && run.shown_boxes().size() == 2) {
        GTEST_SKIP() << "the copy ended before the dialog could be seen, so it was not closed";
    }
    expect_clean(run);
    EXPECT_TRUE(run.progress.gone_after_close) << run.report();
    EXPECT_EQ(run.shown_boxes(),
              (std::vector<C_box>{consent_box(title, machine.game_dir()), success_box(title)}));
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_FALSE(run.boxes[1].progress.shown);
    C_tree expected = before.game;
    expected[L"big.bin"] = big;
    expected[L"after.dat"] = "copied after the close";
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(expected, after.game), "");
    expect_only_game_changed(before, after);
}

TEST_F(EndToEndFlow, InstallationFolderEndingInABackslashReceivesEveryFile)
{
    // As many installers store it; the prompt shows it as stored.
    const std::string op = pattern_bytes(3000, 31);
    const std::string ed = pattern_bytes(5000, 32);
    machine.add_source_file(L"movie\\op.mpg", op);
    machine.add_source_file(L"movie\\sub\\ed.mpg", ed);
    machine.add_source_file(L"sys\\cfg.bin", "new cfg");
    machine.write_script(title, game, {L"movie", L"sys/cfg.bin"});
    machine.install_game();
    machine.add_game_file(L"sys\\cfg.bin", "old cfg");
    machine.registry().set_string(L"exe_dir", machine.game_dir() + L"\\");
    const C_update_fixture::C_state before = machine.snapshot();

    const C_run run = machine.run(consent_then_ok(1));

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(),
              (std::vector<C_box>{consent_box(title, machine.game_dir() + L"\\"), success_box(title)}));
    C_tree expected = before.game;
    expected[L"movie\\"];
    expected[L"movie\\op.mpg"] = op;
    expected[L"movie\\sub\\"];
    expected[L"movie\\sub\\ed.mpg"] = ed;
    expected[L"sys\\cfg.bin"] = "new cfg";
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(expected, after.game), "");
    expect_only_game_changed(before, after);
}

TEST_F(EndToEndFlow, FileWhereADestinationFolderMustGoStopsTheCopy)
{
    machine.add_source_file(L"a.dat", "a");
    machine.add_source_file(L"movie\\op.mpg", pattern_bytes(3000, 33));
    machine.add_source_file(L"z.dat", "never reached");
    machine.write_script(title, game, {L"a.dat", L"movie", L"z.dat"});
    machine.install_game();
    machine.add_game_file(L"movie", "a file named like the folder");
    const C_update_fixture::C_state before = machine.snapshot();

    const C_run run = machine.run(consent_then_ok(2));

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), consent_then_failure(expected::dest_not_opened(machine.game_dir() + L"\\movie\\op.mpg")));
    // The file copied before is taken back.
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(before.game, after.game), "");
    expect_only_game_changed(before, after);
}

// A destination that another program takes, or that is made read-only, after
// the checks before the prompt: the copy finds it, stops there with the
// dialog still on screen behind the two warnings, and takes the files before
// it back.
class UnwritableDestination : public EndToEndFlow {
protected:
    void SetUp() override
    {
        first = pattern_bytes(1500000, 11);
        machine.add_source_file(L"a.dat", first);
        machine.add_source_file(L"locked.pak", pattern_bytes(1000, 12));
        machine.add_source_file(L"z.dat", "never reached");
        machine.write_script(title, game, {L"a.dat", L"locked.pak", L"z.dat"});
        machine.install_game();
        machine.add_game_file(L"locked.pak", "old pak");
    }

    // Answers Yes at the prompt, once `take` has been done to locked.pak.
    C_run run_taking_after_the_prompt(const std::function<void(const std::wstring& path)>& take)
    {
        C_run_options options;
        options.answers = consent_then_ok(2);
        options.before_answer = [&](HANDLE, const C_box& box) {
            if (box.buttons.size() == 2 && box.buttons[0] == IDYES) take(machine.game_dir() + L"\\locked.pak");
        };
        return machine.run_with(options);
    }

    void expect_stopped_at_locked_file(const C_update_fixture::C_state& before, const C_run& run)
    {
        expect_clean(run);
        EXPECT_EQ(run.shown_boxes(), consent_then_failure(expected::dest_not_opened(machine.game_dir() + L"\\locked.pak")));
        ASSERT_EQ(run.boxes.size(), 3u);
        for (std::size_t i = 1; i < 3; ++i) {
            // The failing file has not been shown yet: the dialog still shows the
            // whole of a.dat copied, 1,500,000 of 1,501,000 bytes overall.
            const C_dialog_state& behind = run.boxes[i].progress;
            EXPECT_TRUE(behind.shown) << run.report();
            EXPECT_EQ(to_utf8(behind.caption), to_utf8(dialog_caption()));
            EXPECT_EQ(to_utf8(behind.line), "a.dat");
            EXPECT_EQ(behind.total_position, 999);
            EXPECT_EQ(behind.file_position, 1000);
        }
        const C_update_fixture::C_state after = machine.snapshot();
        EXPECT_EQ(tree_differences(before.game, after.game), "");
        expect_only_game_changed(before, after);
    }

    std::string first;
};

TEST_F(UnwritableDestination, FileTakenByAnotherProgramAfterThePrompt)
{
    const C_update_fixture::C_state before = machine.snapshot();
    HANDLE held = INVALID_HANDLE_VALUE;

    const C_run run = run_taking_after_the_prompt([&](const std::wstring& path) {
        held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    });
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CloseHandle(held);

    expect_stopped_at_locked_file(before, run);
}

TEST_F(UnwritableDestination, FileMadeReadOnlyAfterThePrompt)
{
    if (!read_only_is_enforced(machine.game_dir())) {
        GTEST_SKIP() << "this Wine opens read-only files for writing (it does when running as root)";
    }
    const C_update_fixture::C_state before = machine.snapshot();

    const C_run run = run_taking_after_the_prompt(
        [](const std::wstring& path) { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY); });
    SetFileAttributesW((machine.game_dir() + L"\\locked.pak").c_str(), FILE_ATTRIBUTE_NORMAL);

    expect_stopped_at_locked_file(before, run);
}

// Found before the prompt, where nothing has been changed yet.

TEST_F(EndToEndFlow, FileHeldByAnotherProgramIsFoundBeforeThePromptAndRetriedOnceClosed)
{
    machine.add_source_file(L"a.dat", "new a");
    machine.add_source_file(L"voice.pak", "new voice");
    machine.write_script(title, game, {L"a.dat", L"voice.pak"});
    machine.install_game();
    machine.add_game_file(L"a.dat", "old a");
    machine.add_game_file(L"voice.pak", "old voice");
    const std::wstring held_path = machine.game_dir() + L"\\voice.pak";
    const C_update_fixture::C_state before = machine.snapshot();
    // The game still running holds its file without sharing.
    HANDLE held = CreateFileW(held_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    C_run_options options;
    options.answers = {box_answer::retry, box_answer::retry, box_answer::yes, box_answer::ok};
    std::size_t in_use_boxes = 0;
    C_tree game_while_asked;
    options.before_answer = [&](HANDLE, const C_box& box) {
        if (box.buttons.front() != IDRETRY || ++in_use_boxes < 2) return;
        // The player closes the game, then retries.
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        game_while_asked = snapshot_tree(machine.game_dir());
    };

    const C_run run = machine.run_with(options);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), (std::vector<C_box>{in_use_box(title, held_path), in_use_box(title, held_path),
                                                     consent_box(title, machine.game_dir()), success_box(title)}));
    EXPECT_EQ(tree_differences(before.game, game_while_asked), "") << "nothing changes before the prompt";
    C_tree expected = before.game;
    expected[L"a.dat"] = "new a";
    expected[L"voice.pak"] = "new voice";
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(expected, after.game), "");
    expect_only_game_changed(before, after);
}

TEST_F(EndToEndFlow, ReadOnlyFileIsRefusedBeforeThePrompt)
{
    machine.add_source_file(L"a.dat", "new a");
    machine.add_source_file(L"data\\locked.pak", "new pak");
    machine.write_script(title, game, {L"a.dat", L"data"});
    machine.install_game();
    machine.add_game_file(L"a.dat", "old a");
    machine.add_game_file(L"data\\locked.pak", "old pak");
    const std::wstring locked = machine.game_dir() + L"\\data\\locked.pak";
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    const C_update_fixture::C_state before = machine.snapshot();

    const C_run run = machine.run({box_answer::ok, box_answer::ok});
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), failure_boxes(title, expected::dest_read_only(locked)));
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(before.game, after.game), "");
    expect_only_game_changed(before, after);
}

TEST_F(EndToEndFlow, DriveTooSmallIsFoundBeforeThePrompt)
{
    std::string why_not;
    const std::wstring drive = small_drive(why_not);
    if (drive.empty()) GTEST_SKIP() << why_not;
    machine.move_game_to(drive);
    // 5 MB of update for a drive of 3 MB.
    machine.add_source_file(L"small.dat", pattern_bytes(200000, 21));
    machine.add_source_file(L"huge.bin", pattern_bytes(4800000, 22));
    machine.write_script(title, game, {L"small.dat", L"huge.bin"});
    machine.install_game();
    machine.add_game_file(L"small.dat", "old small");
    const C_update_fixture::C_state before = machine.snapshot();
    ULARGE_INTEGER available = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(machine.game_dir().c_str(), &available, nullptr, nullptr));

    const C_run run = machine.run({box_answer::ok, box_answer::ok});

    expect_clean(run);
    EXPECT_EQ(run.shown_boxes(), failure_boxes(title, expected::not_enough_space(5, available.QuadPart >> 20)));
    // Not even the work folder was made.
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(before.game, after.game), "");
    expect_only_game_changed(before, after);
}

}  // namespace
