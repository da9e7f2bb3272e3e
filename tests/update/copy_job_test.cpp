#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "copy_engine/disk_step.h"
#include "copy_engine/recovery.h"
#include "support/box_recorder.h"
#include "support/current_dir.h"
#include "support/expected_texts.h"
#include "support/host_files.h"
#include "support/temp_dir.h"
#include "support/test_drives.h"
#include "support/tree_snapshot.h"
#include "support/window_test_env.h"
#include "update/update_process_dialog.h"
#include "update/update_sequence.h"
#include "update_core/update_settings.h"

namespace {

// What the progress dialog was told, seen as the messages its controls received.
struct C_dialog_log {
    std::vector<std::wstring> text_lines;
    std::vector<int> total_positions;
    std::vector<int> file_positions;
    std::vector<std::wstring> captions;
};

// An update laid out in a temporary folder that is the current directory:
// gamedata\ beside the (absent) updater and game\ as the installation.
class CopyJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        prepare_windows();
        make_folder(temp_ / L"gamedata");
        make_folder(temp_ / L"game");
        UpdateSettings = C_update_settings();
        UpdateSettings.update_title = L"星の迷宮 Ver1.02";
        UpdateSettings.source_dir = L"gamedata";
        UpdateSettings.dest_dir = temp_ / L"game";
    }

    void TearDown() override { UpdateSettings = C_update_settings(); }

    std::wstring source(const std::wstring& rel) const { return temp_ / (L"gamedata\\" + rel); }
    std::wstring dest(const std::wstring& rel) const { return UpdateSettings.dest_dir + L"\\" + rel; }
    std::wstring work_folder() const { return dest(L"~update_rollback"); }

    // Everything a rollback must give back: names, contents, attributes, file times.
    struct C_installation {
        C_tree files;
        C_tree details;
    };
    C_installation installation() const
    {
        return {snapshot_tree(UpdateSettings.dest_dir), snapshot_details(UpdateSettings.dest_dir)};
    }
    void expect_installation(const C_installation& expected) const
    {
        const C_installation now = installation();
        EXPECT_EQ(tree_differences(expected.files, now.files), "");
        EXPECT_EQ(details_differences(expected.details, now.details), "");
    }

    // An installation where the job's first file replaces an old one, its
    // second lands in a new folder, and `failing` comes third.
    void prepare_replaced_and_new_before(const std::wstring& failing)
    {
        write_file(source(L"first.dat"), pattern_bytes(300000, 41));
        write_file(dest(L"first.dat"), pattern_bytes(200000, 42));
        age_file(dest(L"first.dat"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
        write_file(source(L"maps\\new\\second.dat"), pattern_bytes(1000, 43));
        write_file(source(L"last.dat"), "never reached");
        UpdateSettings.copy_files = {L"first.dat", L"maps", failing, L"last.dat"};
    }

    // Runs the copy job while watching the dialog's controls; `on_file_pos` runs
    // at every position the file bar is given.
    bool run(std::function<void(int)> on_file_pos = nullptr)
    {
        C_sent_message_hook hook([&](const CWPSTRUCT& m) {
            const HWND dialog = progress_dialog.hwnd;
            if (!dialog) return;
            const int id = GetDlgCtrlID(m.hwnd);
            if (m.message == WM_SETTEXT && m.hwnd == dialog) {
                log_.captions.push_back(reinterpret_cast<const wchar_t*>(m.lParam));
            } else if (m.message == WM_SETTEXT && GetParent(m.hwnd) == dialog && id == 1001) {
                log_.text_lines.push_back(reinterpret_cast<const wchar_t*>(m.lParam));
            } else if (m.message == PBM_SETPOS && id == 1002) {
                log_.total_positions.push_back(static_cast<int>(m.wParam));
            } else if (m.message == PBM_SETPOS && id == 1003) {
                log_.file_positions.push_back(static_cast<int>(m.wParam));
                if (on_file_pos) on_file_pos(static_cast<int>(m.wParam));
            }
        });
        return run_copy_job();
    }

    C_temp_dir temp_;
    C_current_dir current_{temp_.path()};
    C_box_recorder boxes_;
    C_dialog_log log_;
};

TEST_F(CopyJob, EmptyListOpensAndClosesTheDialogAndCopiesNothing)
{
    EXPECT_TRUE(run());
    EXPECT_EQ(progress_dialog.hwnd, nullptr);
    EXPECT_TRUE(boxes_.boxes().empty());
    ASSERT_EQ(log_.captions.size(), 1u);
    EXPECT_EQ(log_.captions[0], expected::progress_caption(L"星の迷宮 Ver1.02"));
    EXPECT_TRUE(log_.text_lines.empty());
}

TEST_F(CopyJob, FolderEntryReproducesItsTreeAndShowsEachRelativePath)
{
    write_file(source(L"data\\a.dat"), pattern_bytes(10, 1));
    write_file(source(L"data\\sub\\b.dat"), pattern_bytes(20, 2));
    write_file(source(L"data\\sub\\deep\\z.dat"), pattern_bytes(30, 3));
    make_folder(source(L"data\\empty"));
    UpdateSettings.copy_files = {L"data"};

    EXPECT_TRUE(run());
    EXPECT_EQ(read_file(dest(L"data\\a.dat")), pattern_bytes(10, 1));
    EXPECT_EQ(read_file(dest(L"data\\sub\\b.dat")), pattern_bytes(20, 2));
    EXPECT_EQ(read_file(dest(L"data\\sub\\deep\\z.dat")), pattern_bytes(30, 3));
    EXPECT_FALSE(folder_exists(dest(L"data\\empty")));  // empty folders are not reproduced

    std::vector<std::wstring> expected = {L"data\\a.dat", L"data\\sub\\b.dat", L"data\\sub\\deep\\z.dat"};
    std::vector<std::wstring> shown = log_.text_lines;
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, expected);
    // The whole job's bar ends full after the last chunk.
    ASSERT_FALSE(log_.total_positions.empty());
    EXPECT_EQ(log_.total_positions.back(), 1000);
}

TEST_F(CopyJob, FileEntryTakesTheStoredNameWhateverTheEntrysCase)
{
    write_file(source(L"Readme.TXT"), "new readme");
    write_file(source(L"readme2.txt"), "other");
    UpdateSettings.copy_files = {L"README.txt"};

    EXPECT_TRUE(run());
    EXPECT_EQ(read_file(dest(L"Readme.TXT")), "new readme");
    EXPECT_FALSE(file_exists(dest(L"readme2.txt")));
    ASSERT_EQ(log_.text_lines.size(), 1u);
    EXPECT_EQ(log_.text_lines[0], L"Readme.TXT");

    // The stored letter case reaches the destination's directory listing.
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(dest(L"readme.txt").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    EXPECT_STREQ(found.cFileName, L"Readme.TXT");
}

TEST_F(CopyJob, FileEntryInsideASubfolderIsCopiedToTheSameSubfolder)
{
    write_file(source(L"system\\Config.ini"), "fast_load=1");
    write_file(source(L"system\\other.ini"), "not listed");
    UpdateSettings.copy_files = {L"system\\config.ini"};

    EXPECT_TRUE(run());
    EXPECT_EQ(read_file(dest(L"system\\Config.ini")), "fast_load=1");
    EXPECT_FALSE(file_exists(dest(L"system\\other.ini")));
    ASSERT_EQ(log_.text_lines.size(), 1u);
    EXPECT_EQ(log_.text_lines[0], L"system\\Config.ini");
}

TEST_F(CopyJob, ForwardSlashesSeparateFoldersAndNonAsciiNamesMatchInEitherCase)
{
    write_file(source(L"sys\\cfg.bin"), "new cfg");
    write_file(dest(L"sys\\cfg.bin"), "old cfg");
    write_file(source(L"data\\sub\\b.dat"), "b");
    // Full-width capital A stored, full-width small a written; accented likewise.
    write_file(source(L"\xFF21.dat"), "full width");
    write_file(source(L"\x00C9t\x00E9.txt"), "accented");
    UpdateSettings.copy_files = {L"sys/cfg.bin", L"data/sub", L"\xFF41.dat", L"\x00E9T\x00C9.TXT"};

    EXPECT_TRUE(run());
    EXPECT_EQ(read_file(dest(L"sys\\cfg.bin")), "new cfg");
    EXPECT_EQ(read_file(dest(L"data\\sub\\b.dat")), "b");
    EXPECT_EQ(read_file(dest(L"\xFF21.dat")), "full width");
    EXPECT_EQ(read_file(dest(L"\x00C9t\x00E9.txt")), "accented");
    EXPECT_EQ(log_.text_lines, (std::vector<std::wstring>{L"sys\\cfg.bin", L"data\\sub\\b.dat", L"\xFF21.dat",
                                                          L"\x00C9t\x00E9.txt"}));
}

TEST_F(CopyJob, EntryGoneSinceTheCheckStopsTheJobBeforeAnyCopy)
{
    write_file(source(L"a.dat"), "a");
    UpdateSettings.copy_files = {L"a.dat", L"gone.dat"};

    EXPECT_FALSE(run());
    EXPECT_EQ(boxes_.texts(), (std::vector<std::wstring>{expected::entry_missing(L"gamedata\\gone.dat"), expected::update_failed}));
    EXPECT_FALSE(file_exists(dest(L"a.dat")));
    EXPECT_EQ(progress_dialog.hwnd, nullptr);
}

TEST_F(CopyJob, LargeFileMovesInChunksOfAMillionBytes)
{
    const std::string big = pattern_bytes(2500000, 7);
    write_file(source(L"movie.dat"), big);
    write_file(source(L"small.dat"), pattern_bytes(500000, 8));
    UpdateSettings.copy_files = {L"movie.dat", L"small.dat"};

    EXPECT_TRUE(run());
    EXPECT_EQ(read_file(dest(L"movie.dat")), big);
    // Three chunks of 1,000,000, 1,000,000 and 500,000 bytes, then one for the second file.
    EXPECT_EQ(log_.file_positions, (std::vector<int>{400, 800, 1000, 1000}));
    // 3,000,000 bytes in all.
    EXPECT_EQ(log_.total_positions, (std::vector<int>{333, 666, 833, 1000}));
}

TEST_F(CopyJob, EmptySourceLeavesAnEmptyDestinationAndTheBarsAlone)
{
    write_file(source(L"empty.cfg"), "");
    write_file(dest(L"empty.cfg"), "old content that must go");
    UpdateSettings.copy_files = {L"empty.cfg"};

    EXPECT_TRUE(run());
    EXPECT_TRUE(file_exists(dest(L"empty.cfg")));
    EXPECT_EQ(read_file(dest(L"empty.cfg")), "");
    EXPECT_EQ(log_.text_lines, (std::vector<std::wstring>{L"empty.cfg"}));
    EXPECT_TRUE(log_.file_positions.empty());
    EXPECT_TRUE(log_.total_positions.empty());
}

TEST_F(CopyJob, LongerExistingDestinationIsCutToTheSourcesLength)
{
    write_file(source(L"save.dat"), "short");
    write_file(dest(L"save.dat"), std::string(100000, 'x'));
    UpdateSettings.copy_files = {L"save.dat"};

    EXPECT_TRUE(run());
    EXPECT_EQ(read_file(dest(L"save.dat")), "short");
}

TEST_F(CopyJob, EntryListedTwiceIsCopiedTwice)
{
    write_file(source(L"a.pak"), "pak");
    UpdateSettings.copy_files = {L"a.pak", L"a.pak"};

    EXPECT_TRUE(run());
    EXPECT_EQ(read_file(dest(L"a.pak")), "pak");
    // Counted twice in the whole job's bytes; the unchanged text line is not set again.
    EXPECT_EQ(log_.total_positions, (std::vector<int>{500, 1000}));
    EXPECT_EQ(log_.text_lines.size(), 1u);
}

TEST_F(CopyJob, DestinationInUseStopsTheJobAndUndoesWhatWasCopied)
{
    prepare_replaced_and_new_before(L"in_use.dat");
    write_file(source(L"in_use.dat"), "new");
    write_file(dest(L"in_use.dat"), "in use");
    const C_installation before = installation();

    // The game still running holds its file without sharing.
    HANDLE held = CreateFileW(dest(L"in_use.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const bool result = run();
    CloseHandle(held);

    EXPECT_FALSE(result);
    EXPECT_EQ(boxes_.texts(),
              (std::vector<std::wstring>{expected::dest_not_opened(dest(L"in_use.dat")), expected::update_failed}));
    EXPECT_EQ(boxes_.boxes()[0].caption, L"星の迷宮 Ver1.02");
    expect_installation(before);
    EXPECT_EQ(progress_dialog.hwnd, nullptr);
}

TEST_F(CopyJob, RemovedFilesAreShownSetAsideAndPutBackWhenALaterStepFails)
{
    write_file(source(L"new.dat"), "new");
    write_file(dest(L"legacy\\old.dll"), "stale");
    write_file(dest(L"data\\old.scr"), "old scene");
    write_file(dest(L"data\\keep.sav"), "the player's");
    age_file(dest(L"data\\old.scr"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    UpdateSettings.copy_files = {L"new.dat"};
    UpdateSettings.delete_files = {L"legacy\\old.dll", L"data\\old.scr", L"never\\had.dat"};
    const C_installation before = installation();

    // The second removal fails once the first file is set aside.
    const disk_step_hook previous = set_disk_step_hook([&](const C_disk_step& step) {
        return !(step.change == disk_change::rename && step.from && *step.from == dest(L"data\\old.scr"));
    });
    const bool refused = run();
    set_disk_step_hook(previous);
    EXPECT_FALSE(refused);
    EXPECT_EQ(boxes_.texts(),
              (std::vector<std::wstring>{expected::dest_not_written(dest(L"data\\old.scr")), expected::update_failed}));
    expect_installation(before);

    log_ = C_dialog_log();
    EXPECT_TRUE(run());
    EXPECT_EQ(tree_differences({{L"new.dat", "new"}, {L"data\\", ""}, {L"data\\keep.sav", "the player's"}},
                               snapshot_tree(UpdateSettings.dest_dir)),
              "")
        << "the folder the update emptied goes, the one with the player's file stays";
    EXPECT_EQ(log_.text_lines, (std::vector<std::wstring>{L"new.dat", L"legacy\\old.dll", L"data\\old.scr"}));
}

TEST_F(CopyJob, EntryInTheUpdatersWorkFolderIsRefusedBeforeAnyCopy)
{
    write_file(source(L"a.dat"), "a");
    write_file(source(L"~Update_Rollback\\update.journal"), "not a journal");
    UpdateSettings.copy_files = {L"a.dat", L"~Update_Rollback"};

    EXPECT_FALSE(run());
    EXPECT_EQ(boxes_.texts(), (std::vector<std::wstring>{
                                  expected::dest_not_opened(dest(L"~Update_Rollback\\update.journal")),
                                  expected::update_failed}));
    EXPECT_EQ(tree_differences({}, snapshot_tree(UpdateSettings.dest_dir)), "");
}

TEST_F(CopyJob, ReadOnlyDestinationIsReported)
{
    if (!read_only_is_enforced(temp_.path())) {
        GTEST_SKIP() << "this Wine opens read-only files for writing (it runs as root)";
    }

    write_file(source(L"locked.dat"), "new");
    write_file(dest(L"locked.dat"), "old");
    SetFileAttributesW(dest(L"locked.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    UpdateSettings.copy_files = {L"locked.dat"};

    EXPECT_FALSE(run());
    EXPECT_EQ(boxes_.texts(), (std::vector<std::wstring>{expected::dest_not_opened(dest(L"locked.dat")), expected::update_failed}));
    SetFileAttributesW(dest(L"locked.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(read_file(dest(L"locked.dat")), "old");
}

TEST_F(CopyJob, MissingSourceIsReported)
{
    write_file(source(L"gone.dat"), "x");
    UpdateSettings.copy_files = {L"gone.dat"};
    // Held without sharing, the source cannot be opened for reading.
    HANDLE held = CreateFileW(source(L"gone.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const bool result = run();
    CloseHandle(held);

    EXPECT_FALSE(result);
    EXPECT_EQ(boxes_.texts(), (std::vector<std::wstring>{expected::source_not_opened(L"gamedata\\gone.dat"), expected::update_failed}));
    EXPECT_FALSE(file_exists(dest(L"gone.dat")));
}

// Cuts the source to 1,500,000 bytes once its copy has begun, as a bad download
// or a scratched disc fails partway.
class SourceUnreadablePartway {
public:
    explicit SourceUnreadablePartway(std::wstring path) : path_(std::move(path)) {}

    void operator()()
    {
        if (cut_) return;
        cut_ = true;
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << "the test cannot shorten the source while it is read";
        LARGE_INTEGER length;
        length.QuadPart = 1500000;
        SetFilePointerEx(file, length, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }

private:
    std::wstring path_;
    bool cut_ = false;
};

TEST_F(CopyJob, SourceUnreadablePartwayStopsTheJobAndUndoesIt)
{
    prepare_replaced_and_new_before(L"shrinking.dat");
    write_file(source(L"shrinking.dat"), pattern_bytes(2500000, 9));
    write_file(dest(L"shrinking.dat"), "old shrinking");
    const C_installation before = installation();

    SourceUnreadablePartway cut(source(L"shrinking.dat"));
    const bool result = run([&](int) {
        if (log_.text_lines.back() == L"shrinking.dat") cut();
    });

    EXPECT_FALSE(result);
    EXPECT_EQ(boxes_.texts(),
              (std::vector<std::wstring>{expected::source_not_read(L"gamedata\\shrinking.dat"), expected::update_failed}));
    expect_installation(before);
    EXPECT_EQ(progress_dialog.hwnd, nullptr);
}

TEST_F(CopyJob, FullDiskStopsTheJobAndUndoesIt)
{
    std::string why_not;
    const std::wstring small_root = small_drive(why_not);
    if (small_root.empty()) GTEST_SKIP() << why_not;

    const std::wstring game = small_root + L"\\copy_job_full";
    remove_folder_tree(game);
    make_folder(game);
    UpdateSettings.dest_dir = game;
    // The second of three files does not fit; the first replaces an old file,
    // the third would be new.
    write_file(source(L"first.dat"), pattern_bytes(300000, 41));
    write_file(dest(L"first.dat"), pattern_bytes(200000, 42));
    age_file(dest(L"first.dat"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    write_file(source(L"huge.dat"), pattern_bytes(8000000, 10));
    write_file(source(L"third.dat"), "third");
    UpdateSettings.copy_files = {L"first.dat", L"huge.dat", L"third.dat"};
    const C_installation before = installation();

    const bool result = run();
    const C_installation after = installation();
    remove_folder_tree(game);

    EXPECT_FALSE(result);
    EXPECT_EQ(boxes_.texts(), (std::vector<std::wstring>{expected::dest_not_written(game + L"\\huge.dat"), expected::update_failed}));
    EXPECT_EQ(tree_differences(before.files, after.files), "");
    EXPECT_EQ(details_differences(before.details, after.details), "");
}

TEST_F(CopyJob, RollbackThatCannotFinishSaysWhereTheOldFilesAreAndKeepsThem)
{
    prepare_replaced_and_new_before(L"taken.dat");
    write_file(source(L"taken.dat"), "new taken");
    write_file(dest(L"taken.dat"), "old taken");
    const C_installation before = installation();

    // Once the new files are in the work folder and the first take their
    // places, another program takes the file that comes next, and holds the
    // new one the job already put in place, so that the rollback cannot delete it.
    HANDLE taken = INVALID_HANDLE_VALUE;
    HANDLE held = INVALID_HANDLE_VALUE;
    const std::wstring taken_path = dest(L"taken.dat");
    bool result = true;
    {
        const disk_step_hook before_hook = set_disk_step_hook([&](const C_disk_step& step) {
            if (step.change == disk_change::make_link && step.from && *step.from == taken_path &&
                taken == INVALID_HANDLE_VALUE) {
                taken = CreateFileW(taken_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
                held = CreateFileW(dest(L"maps\\new\\second.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            }
            return true;
        });
        result = run();
        set_disk_step_hook(before_hook);
    }
    ASSERT_NE(taken, INVALID_HANDLE_VALUE);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CloseHandle(taken);
    const C_tree left = snapshot_tree(UpdateSettings.dest_dir);
    CloseHandle(held);

    EXPECT_FALSE(result);
    EXPECT_EQ(boxes_.texts(), (std::vector<std::wstring>{expected::dest_not_written(taken_path),
                                                          expected::rollback_failed(work_folder()),
                                                          expected::update_failed}));
    EXPECT_EQ(boxes_.boxes()[1].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    // All else is back; the file held open stays, and the journal that explains it.
    EXPECT_TRUE(left.count(L"maps\\new\\second.dat"));
    EXPECT_TRUE(left.count(L"~update_rollback\\update.journal"));
    EXPECT_EQ(left.at(L"first.dat"), before.files.at(L"first.dat"));

    // Once the file is free, the next start completes the rollback.
    EXPECT_EQ(recover_installation(UpdateSettings.dest_dir).outcome, installation_recovery::rolled_back);
    expect_installation(before);
}

TEST_F(CopyJob, WhileTheCopyRunsWindowsIsAskedNotToShutDownAndAfterItIsLetGo)
{
    write_file(source(L"big.dat"), pattern_bytes(2500000, 5));
    UpdateSettings.copy_files = {L"big.dat"};
    // Asked as Windows asks every window when a shutdown begins: once while
    // the data moves, once as the dialog is hidden at the end.
    LRESULT during = -1;
    LRESULT after = -1;
    std::wstring reason;
    C_sent_message_hook hiding([&](const CWPSTRUCT& m) {
        if (m.hwnd == progress_dialog.hwnd && m.message == WM_SHOWWINDOW && !m.wParam && after < 0) {
            after = SendMessageW(m.hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
        }
    });
    // Wine has no query of the reason; Windows shows it in its list of programs.
    using reason_query = BOOL(WINAPI*)(HWND, LPWSTR, DWORD*);
    const auto query = reinterpret_cast<reason_query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "ShutdownBlockReasonQuery")));
    EXPECT_TRUE(run([&](int) {
        if (during >= 0) return;
        during = SendMessageW(progress_dialog.hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
        wchar_t text[256] = {};
        DWORD size = 256;
        if (query && query(progress_dialog.hwnd, text, &size)) reason = text;
    }));
    EXPECT_EQ(during, FALSE);
    EXPECT_EQ(after, TRUE);
    if (query) {
        EXPECT_EQ(reason, expected::shutdown_block_reason);
    }
}

TEST_F(CopyJob, FullDiskForTheJournalLeavesNoWorkFolderAndNothingToRollBack)
{
    std::string why_not;
    const std::wstring small_root = small_drive(why_not);
    if (small_root.empty()) GTEST_SKIP() << why_not;

    const std::wstring game = small_root + L"\\copy_job_journal";
    remove_folder_tree(game);
    make_folder(game);
    UpdateSettings.dest_dir = game;
    write_file(source(L"first.dat"), "first");
    UpdateSettings.copy_files = {L"first.dat"};
    // Everything the drive has left goes to one file.
    const std::wstring filler = small_root + L"\\filler.bin";
    {
        const HANDLE file = CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::string chunk(4096, 'f');
        DWORD written = 0;
        while (WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) && written > 0) {
        }
        CloseHandle(file);
    }

    const bool result = run();
    const C_tree left = snapshot_tree(game);
    const installation_recovery next_start = recover_installation(game).outcome;
    DeleteFileW(filler.c_str());
    remove_folder_tree(game);

    EXPECT_FALSE(result);
    EXPECT_EQ(boxes_.texts(), (std::vector<std::wstring>{expected::journal_not_written(
                                                              game + L"\\~update_rollback\\update.journal"),
                                                          expected::update_failed}));
    EXPECT_EQ(tree_differences({}, left), "");
    EXPECT_EQ(next_start, installation_recovery::none);
}

TEST_F(CopyJob, ClosingTheDialogMidwayDoesNotStopTheCopy)
{
    const std::string big = pattern_bytes(3500000, 11);
    write_file(source(L"big.dat"), big);
    write_file(source(L"next.dat"), "next");
    UpdateSettings.copy_files = {L"big.dat", L"next.dat"};

    bool closed = false;
    EXPECT_TRUE(run([&](int) {
        if (!closed && progress_dialog.hwnd) {
            closed = true;
            PostMessageW(progress_dialog.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    }));
    EXPECT_TRUE(closed);
    EXPECT_EQ(progress_dialog.hwnd, nullptr);
    EXPECT_EQ(read_file(dest(L"big.dat")), big);
    EXPECT_EQ(read_file(dest(L"next.dat")), "next");
    // Only the first chunk's positions reached the bar; after that there was no window.
    EXPECT_EQ(log_.file_positions.size(), 1u);
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(CopyJob, ManyEntriesOfOneFolderCopyInEntryOrderAndKeepTheDialogAnswering)
{
    // Stored as V000.ogg..., named in another order and case, one of them twice.
    std::vector<std::wstring> stored;
    for (int i = 0; i < 600; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"V%03d.ogg", i);
        stored.push_back(name);
        write_file(source(L"voice\\" + stored.back()), pattern_bytes(100, static_cast<std::uint32_t>(i)));
    }
    std::vector<std::wstring> shown_expected;
    for (int i = 0; i < 600; ++i) {
        const std::wstring& name = stored[static_cast<std::size_t>(i * 7 % 600)];
        UpdateSettings.copy_files.push_back(L"voice/v" + name.substr(1, 3) + L".OGG");
        shown_expected.push_back(L"voice\\" + name);
    }
    UpdateSettings.copy_files.push_back(L"voice\\V000.ogg");
    shown_expected.push_back(L"voice\\V000.ogg");

    // A message waiting when the job starts is taken before the first file
    // only if the listing pass pumps the queue.
    std::size_t lines_when_taken = 0;
    bool taken = false;
    C_retrieved_message_hook taking([&](const MSG& message) {
        if (message.message == WM_APP && !taken) {
            taken = true;
            lines_when_taken = log_.text_lines.size();
        }
    });
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);

    EXPECT_TRUE(run());
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ(log_.text_lines, shown_expected);
    EXPECT_EQ(log_.total_positions.back(), 1000);
    for (int i = 0; i < 600; i += 97) {
        EXPECT_EQ(read_file(dest(L"voice\\" + stored[static_cast<std::size_t>(i)])),
                  pattern_bytes(100, static_cast<std::uint32_t>(i)));
    }
    EXPECT_TRUE(taken);
    EXPECT_EQ(lines_when_taken, 0u) << "the listing pass left the queue alone";
}

TEST_F(CopyJob, UnlistableFolderSinceTheCheckStopsTheJobBeforeAnyCopy)
{
    write_file(source(L"a.dat"), "a");
    write_file(source(L"movie\\op.mpg"), "op");
    write_file(source(L"movie\\locked\\ed.mpg"), "ed");
    UpdateSettings.copy_files = {L"a.dat", L"movie"};
    C_listing_denied denied(source(L"movie\\locked"));
    std::string why_not;
    if (!denied.in_effect(why_not)) GTEST_SKIP() << why_not;

    EXPECT_FALSE(run());
    EXPECT_EQ(boxes_.texts(), (std::vector<std::wstring>{expected::entry_missing(L"gamedata\\movie"), expected::update_failed}));
    EXPECT_FALSE(file_exists(dest(L"a.dat")));
    EXPECT_FALSE(file_exists(dest(L"movie\\op.mpg")));
}

}  // namespace
