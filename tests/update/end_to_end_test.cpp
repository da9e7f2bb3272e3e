#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/expected_texts.h"
#include "support/update_fixture.h"
#include "util/fs/path.h"

// The built update.exe run under Wine as a player meets it, up to the point
// where it would start copying: start-up, the script, the update's own files,
// the installation and the consent prompt. Every box is read off the screen and
// answered; the update and game folders must come out unchanged.

namespace {

const wchar_t* const title = L"秋のアップデート";
const wchar_t* const game = L"ヴェルコール物語";

std::vector<box_answer> ok_times(std::size_t count)
{
    return std::vector<box_answer>(count, box_answer::ok);
}

class EndToEnd : public ::testing::Test {
protected:
    // An update that would pass every check: its script, its files and a full
    // installation of the game.
    void prepare_complete_update()
    {
        machine.write_script(title, game, {L"movie", L"readme.txt"});
        machine.add_source_file(L"movie\\op.mpg", pattern_bytes(4000, 1));
        machine.add_source_file(L"readme.txt", "new readme");
        machine.install_game();
        machine.add_game_file(L"readme.txt", "old readme");
    }

    // Runs the updater, answering OK to every box, and checks that it showed
    // exactly `expected`, ended by itself with 0 and changed nothing on disk.
    void expect_run_showing(const std::vector<C_box>& expected, std::vector<box_answer> answers = {})
    {
        if (answers.empty()) answers = ok_times(expected.size());
        const C_update_fixture::C_state before = machine.snapshot();
        const C_run run = machine.run(answers);
        EXPECT_TRUE(run.problems.empty()) << run.report();
        EXPECT_TRUE(run.exited) << run.report();
        EXPECT_EQ(run.exit_code, 0u);
        EXPECT_EQ(run.shown_boxes(), expected);
        EXPECT_FALSE(run.progress.shown) << run.report();
        expect_unchanged(before);
    }

    void expect_unchanged(const C_update_fixture::C_state& before)
    {
        const C_update_fixture::C_state after = machine.snapshot();
        EXPECT_EQ(tree_differences(before.update, after.update), "") << "in the update folder";
        EXPECT_EQ(tree_differences(before.game, after.game), "") << "in the game folder";
        EXPECT_EQ(tree_differences(before.start, after.start), "") << "in the folder it was started from";
    }

    C_update_fixture machine;
};

TEST(EndToEndStartUp, RichEditLibraryMissingIsOneErrorBoxAndNothingElse)
{
    // Its own program name, so that the disabled library concerns this run only.
    C_update_fixture machine(unique_program_name(L"update"));
    machine.write_script(title, game, {L"readme.txt"});
    machine.add_source_file(L"readme.txt", "new readme");
    machine.install_game();
    machine.wine_settings().disable_dll(L"riched32");
    const C_update_fixture::C_state before = machine.snapshot();

    const C_run run = machine.run({box_answer::ok});

    EXPECT_TRUE(run.problems.empty()) << run.report();
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_EQ(run.shown_boxes(),
              std::vector<C_box>{warning_box(expected::error_caption, expected::rich_edit_not_loaded)});
    const C_update_fixture::C_state after = machine.snapshot();
    EXPECT_EQ(tree_differences(before.update, after.update), "");
    EXPECT_EQ(tree_differences(before.game, after.game), "");
}

TEST_F(EndToEnd, ScriptIsLookedForBesideTheUpdaterNotInTheStartFolder)
{
    // A script and data where the updater is started from must not be taken.
    write_file(machine.start_dir() + L"\\update.ini", "#UPDATE_TITLE = \"wrong folder\"\r\n");
    write_file(machine.start_dir() + L"\\gamedata\\readme.txt", "wrong folder");
    machine.install_game();

    expect_run_showing(failure_boxes(L"", expected::script_not_found));
}

TEST_F(EndToEnd, EmptyScriptLacksTheRegistryPathUnderAnEmptyCaption)
{
    machine.write_script(L"");
    expect_run_showing(failure_boxes(L"", expected::no_reg_path));
}

TEST_F(EndToEnd, ScriptWithoutUpdateTitleIsReportedUnderAnEmptyCaption)
{
    machine.write_script(L"#REG_PATH = \"Maker\\\\Title\"\n#GAME_TITLE = \"ヴェルコール物語\"\n");
    expect_run_showing(failure_boxes(L"", expected::no_update_title));
}

TEST_F(EndToEnd, ScriptWithoutGameTitleIsReportedUnderTheUpdateTitle)
{
    // Comment lines, a key indented (so ignored) and CR LF line ends around the
    // values that do count.
    machine.write_script(L"// 秋のアップデート\r\n"
                         L"  #GAME_TITLE = \"indented, so not a key\"\r\n"
                         L"#REG_PATH = \"Maker\\\\Title\"\r\n"
                         L"#UPDATE_TITLE = \"秋のアップデート\" // the title\r\n");
    expect_run_showing(failure_boxes(title, expected::no_game_title));
}

TEST_F(EndToEnd, MissingGamedataIsReportedEvenWithoutAnInstalledGame)
{
    machine.write_script(title, game, {L"movie"});
    expect_run_showing(failure_boxes(title, expected::no_source_folder));
}

TEST_F(EndToEnd, EmptyEntryIsReportedByItsNumber)
{
    machine.write_script(title, game, {L"readme.txt", L"", L"not looked at"});
    machine.add_source_file(L"readme.txt", "x");
    expect_run_showing(failure_boxes(title, expected::entry_empty(2)));
}

TEST_F(EndToEnd, MissingEntryIsReportedWithItsJoinedPath)
{
    machine.write_script(title, game, {L"readme.txt", L"ムービー\\op.MPG"});
    machine.add_source_file(L"readme.txt", "x");
    machine.add_source_file(L"ムービー\\ed.mpg", "x");
    expect_run_showing(failure_boxes(title, expected::entry_missing(L"gamedata\\ムービー\\op.MPG")));
}

TEST_F(EndToEnd, EntryReachingOutsideTheInstallationIsRefusedBeforeThePrompt)
{
    prepare_complete_update();
    // It exists: gamedata\..\evil.bin is the update folder's own file.
    write_file(machine.update_dir() + L"\\evil.bin", "evil");
    machine.write_script(title, game, {L"readme.txt", L"..\\evil.bin"});
    expect_run_showing(failure_boxes(
        title, expected::entry_outside(2)));
    EXPECT_FALSE(file_exists(path_get_folder(machine.game_dir()) + L"\\evil.bin"));
}

TEST_F(EndToEnd, MissingRegistryKeyNamesTheGame)
{
    prepare_complete_update();
    machine.write_script(L"#REG_PATH = \"UpdaterTests\\\\NoSuchGame\"\n#UPDATE_TITLE = \"秋のアップデート\"\n"
                         L"#GAME_TITLE = \"ヴェルコール物語 完全版\"\n");
    expect_run_showing(failure_boxes(title, expected::no_registry_key(L"ヴェルコール物語 完全版")));
}

TEST_F(EndToEnd, MissingRegistryValuesAreNamedInReadingOrder)
{
    prepare_complete_update();
    // Only exe_dir is there: dat_dir is the first one missing.
    machine.write_script(title, game, {L"readme.txt"});
    machine.registry().delete_value(L"dat_dir");
    machine.registry().delete_value(L"dat_setup");
    expect_run_showing(failure_boxes(title, expected::no_registry_value(L"dat_dir")));
}

TEST_F(EndToEnd, MissingInstallationFolderIsNamed)
{
    prepare_complete_update();
    const std::wstring gone = machine.game_dir() + L"\\削除済み";
    machine.registry().set_string(L"exe_dir", gone);
    expect_run_showing(failure_boxes(title, expected::no_install_folder(gone)));
}

TEST_F(EndToEnd, InstallationWithoutEngineIsRefused)
{
    prepare_complete_update();
    DeleteFileW((machine.game_dir() + L"\\VelkorEngine.exe").c_str());
    expect_run_showing(failure_boxes(title, expected::no_engine));
}

TEST_F(EndToEnd, MinimalSetupIsRefused)
{
    prepare_complete_update();
    machine.registry().set_string(L"dat_setup", L"Full");
    expect_run_showing(failure_boxes(title, expected::not_full_setup));
}

TEST_F(EndToEnd, AnsweringNoStopsWithOneNoticeAndWritesNothing)
{
    prepare_complete_update();
    expect_run_showing({consent_box(title, machine.game_dir()), stopped_box(title)},
                       {box_answer::no, box_answer::ok});
}

TEST_F(EndToEnd, EnterAtThePromptMeansNo)
{
    prepare_complete_update();
    // The folder is shown exactly as the registry gives it, trailing backslash included.
    machine.registry().set_string(L"exe_dir", machine.game_dir() + L"\\");
    expect_run_showing({consent_box(title, machine.game_dir() + L"\\"), stopped_box(title)},
                       {box_answer::enter, box_answer::enter});
}

// On a system whose code page is 1252 (an English Windows), or 65001 (a
// Japanese one with the UTF-8 option), the script is still read as the code
// page 932 the maker writes. Run there by end_to_end_code_page_1252.
using EndToEndOtherCodePage = EndToEnd;

TEST_F(EndToEndOtherCodePage, ScriptIsReadInCodePage932)
{
    const char* wanted = std::getenv("UPDATER_TEST_CODE_PAGE");
    if (wanted) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(wanted))) << "the prefix was not made in another locale";
    } else if (GetACP() == 932) {
        GTEST_SKIP() << "the system code page is 932 here; end_to_end_code_page_1252 runs this case under 1252";
    }
    machine.add_source_file(L"ボイス\\001.ogg", "voice");
    machine.add_source_file(L"説明書.txt", "manual");
    machine.write_script(title, game, {L"ボイス", L"説明書.txt"});
    machine.install_game();
    const C_update_fixture::C_state before = machine.snapshot();

    const C_run run = machine.run({box_answer::yes, box_answer::ok});

    EXPECT_TRUE(run.problems.empty()) << run.report();
    EXPECT_EQ(run.shown_boxes(), (std::vector<C_box>{consent_box(title, machine.game_dir()), success_box(title)}));
    C_tree expected = before.game;
    expected[L"ボイス\\"];
    expected[L"ボイス\\001.ogg"] = "voice";
    expected[L"説明書.txt"] = "manual";
    EXPECT_EQ(tree_differences(expected, snapshot_tree(machine.game_dir())), "");
}

}  // namespace
