#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "file/file.h"
#include "support/temp_dir.h"
#include "support/tree_snapshot.h"
#include "support/utf8_text.h"
#include "update/copy_transaction.h"
#include "update/disk_step.h"
#include "update/rollback.h"
#include "update_core/work_folder.h"
#include "util/fs/path_kind.h"

// The replay of the update's journal. It runs on real folders, stopped at every
// point between two changes on disk as a killed process stops, and must then
// bring the installation back whole: as it was before, or, once the update was
// recorded complete, as the update leaves it.

namespace {

TEST(WorkFolder, PathsThatLandInItAsTheFileSystemComparesNames)
{
    const struct {
        const wchar_t* rel;
        bool lands;
    } cases[] = {
        {L"~update_rollback", true},
        {L"~Update_Rollback\\update.journal", true},
        {L"~update_rollback/originals/a.dat", true},
        {L".\\~update_rollback\\a.dat", true},
        {L"\\~update_rollback", true},
        {L"~update_rollback. .\\a.dat", true},
        {L"data\\~update_rollback", false},
        {L"~update_rollbacks\\a.dat", false},
        {L"~update_rollbac", false},
        {L"..\\~update_rollback", false},
        {L"", false},
        {L".\\.", false},
    };
    for (const auto& c : cases) EXPECT_EQ(lands_in_work_folder(c.rel), c.lands) << to_utf8(c.rel);
}

// Stops every change on disk from the given one on, as if the process had been
// killed just before it.
class C_stop_after {
public:
    explicit C_stop_after(int steps)
    {
        left_ = steps;
        previous_ = set_disk_step_hook(&C_stop_after::allowed);
    }
    ~C_stop_after() { set_disk_step_hook(previous_); }
    C_stop_after(const C_stop_after&) = delete;
    C_stop_after& operator=(const C_stop_after&) = delete;

    // Whether the run ended before the stop was reached.
    bool never_stopped() const { return left_ > 0; }

private:
    static bool allowed()
    {
        if (left_ == 0) return false;
        --left_;
        return true;
    }
    static int left_;
    disk_step_hook previous_;
};
int C_stop_after::left_ = 0;

struct C_new_file {
    std::wstring rel;
    std::string bytes;
};

// An installation of a few files, and an update that replaces some, makes
// others in new folders, and names two files twice (one replaced, one new).
// The originals are kept by hard links, or moved aside as on volumes without them.
class Replay : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        links_before_ = allow_hard_links(GetParam());
        install_old_files();
        ASSERT_TRUE(apply());
        after_ = state();
        install_old_files();
        before_ = state();
    }

    std::wstring dest() const { return temp_ / L"game"; }

    void install_old_files()
    {
        remove_folder_tree(dest());
        make_folder(dest());
        const struct {
            const wchar_t* rel;
            const char* bytes;
            DWORD attributes;
        } files[] = {
            {L"a.dat", "old a", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
            {L"sub\\b.dat", "old b", FILE_ATTRIBUTE_ARCHIVE},
            {L"Mixed.TXT", "old mixed", FILE_ATTRIBUTE_ARCHIVE},
            {L"keep.txt", "not in the update", FILE_ATTRIBUTE_READONLY},
        };
        for (const auto& file : files) {
            write_file(dest() + L"\\" + file.rel, file.bytes);
            age_file(dest() + L"\\" + file.rel, file.attributes);
        }
    }

    // The update's copy, as the copy job drives the transaction; false where it stopped.
    bool apply()
    {
        C_copy_transaction transaction(dest());
        if (!transaction.begin()) return false;
        for (const C_new_file& file : update_) {
            C_file out;
            if (!transaction.open_destination(file.rel, out)) return false;
            const int size = static_cast<int>(file.bytes.size());
            if (file_write(file.bytes.data(), size, out.stream) != size || !transaction.finish_destination(out)) {
                return false;
            }
        }
        return transaction.commit();
    }

    struct C_state {
        C_tree files;
        C_tree details;
    };
    C_state state() const { return {snapshot_tree(dest()), snapshot_details(dest())}; }

    struct C_stops {
        bool complete = false;          // the installation came out updated
        bool stopped = false;           // the copy was stopped
        bool recovery_stopped = false;  // and then its first recovery
    };
    // Applies the update stopped at step `steps`, then recovers, that recovery
    // stopped at `recovery_steps` (negative: never) and run once more. The
    // installation must come out whole: updated, or as it was to the last
    // detail (the update's new files have times of their own).
    C_stops stop_and_recover(int steps, int recovery_steps)
    {
        const std::string where = "stopped at step " + std::to_string(steps) + ", its recovery at " +
                                  std::to_string(recovery_steps);
        C_stops stops;
        install_old_files();
        {
            C_stop_after stop(steps);
            apply();
            stops.stopped = !stop.never_stopped();
        }
        if (recovery_steps >= 0) {
            C_stop_after stop(recovery_steps);
            recover_installation(dest());
            stops.recovery_stopped = !stop.never_stopped();
        }
        const installation_recovery result = recover_installation(dest());
        const C_state now = state();
        stops.complete = tree_differences(after_.files, now.files).empty();
        if (stops.complete) {
            EXPECT_TRUE(result == installation_recovery::completed || result == installation_recovery::none) << where;
        } else {
            EXPECT_TRUE(result == installation_recovery::rolled_back || result == installation_recovery::none) << where;
            EXPECT_EQ(tree_differences(before_.files, now.files), "") << where;
            EXPECT_EQ(details_differences(before_.details, now.details), "") << where;
        }
        return stops;
    }

    void TearDown() override { allow_hard_links(links_before_); }

    bool links_before_ = true;
    C_temp_dir temp_;
    const std::vector<C_new_file> update_ = {
        {L"a.dat", "new a, first"},       {L"new\\deep\\c.dat", "new c"}, {L"sub\\b.dat", "new b"},
        {L"mixed.txt", "new mixed"},      {L"n.dat", "new n, first"},     {L"n.dat", "new n, second"},
        {L"a.dat", "new a, second"},
    };
    C_state before_;
    C_state after_;
};

TEST_P(Replay, EveryStopRecoversToBeforeOrToTheCompleteUpdate)
{
    ASSERT_EQ(after_.files.at(L"Mixed.TXT"), "new mixed") << "the stored name is kept";
    ASSERT_EQ(after_.files.at(L"n.dat"), "new n, second");
    ASSERT_EQ(after_.files.at(L"a.dat"), "new a, second");
    ASSERT_FALSE(after_.files.count(L"~update_rollback\\"));

    int complete_from = -1;
    C_stops stops;
    for (int steps = 0; steps == 0 || stops.stopped; ++steps) {
        stops = stop_and_recover(steps, -1);
        if (stops.complete && complete_from < 0) complete_from = steps;
        EXPECT_EQ(stops.complete, complete_from >= 0) << "complete once, complete at every later stop: " << steps;
        if (HasFailure()) return;
    }
    EXPECT_GT(complete_from, 20) << "the stops reached into the copy";
}

TEST_P(Replay, ARecoveryStoppedInTurnCompletesWhenRunAgain)
{
    // The copy stopped with every step but the last recorded, then once it is
    // recorded complete; the recovery of each stopped at every point.
    int complete_from = 0;
    while (!stop_and_recover(complete_from, -1).complete) ++complete_from;
    for (int steps : {complete_from - 1, complete_from}) {
        C_stops stops;
        for (int recovery_steps = 0; recovery_steps == 0 || stops.recovery_stopped; ++recovery_steps) {
            stops = stop_and_recover(steps, recovery_steps);
            EXPECT_EQ(stops.complete, steps == complete_from);
            if (HasFailure()) return;
        }
    }
}

TEST_P(Replay, AReplacedFileKeepsItsOldContentUntilTheNewOneIsWhole)
{
    const std::wstring file = dest() + L"\\a.dat";
    const std::wstring original = dest() + L"\\~update_rollback\\originals\\0\\0";
    C_copy_transaction transaction(dest());
    ASSERT_TRUE(transaction.begin());
    C_file out;
    ASSERT_TRUE(transaction.open_destination(L"a.dat", out));
    EXPECT_EQ(read_file(original), "old a");
    // With a second name the player's file stays whole all the while; moved
    // aside, its place holds the new one being written.
    if (GetParam()) {
        EXPECT_EQ(read_file(file), "old a");
    }
    ASSERT_EQ(file_write("new a", 5, out.stream), 5);
    ASSERT_TRUE(transaction.finish_destination(out));
    EXPECT_EQ(read_file(file), "new a");
    EXPECT_EQ(read_file(original), "old a");
    ASSERT_TRUE(transaction.commit());
    EXPECT_EQ(get_path_kind(dest() + L"\\~update_rollback"), path_kind::missing);
}

TEST_P(Replay, AJournalThatCannotBeTrustedIsLeftWithEverythingAsItIs)
{
    {
        C_stop_after stop(12);
        ASSERT_FALSE(apply());
    }
    const std::wstring journal = dest() + L"\\~update_rollback\\update.journal";
    write_file(journal, read_file(journal) + utf16le(L"move\tkeep.txt\r\n"));
    const C_tree stopped = snapshot_tree(dest());
    ASSERT_TRUE(stopped.count(L"~update_rollback\\originals\\0\\0")) << "a file is aside";

    EXPECT_EQ(recover_installation(dest()), installation_recovery::failed);
    EXPECT_EQ(tree_differences(stopped, snapshot_tree(dest())), "");
}

INSTANTIATE_TEST_SUITE_P(KeepingOriginals, Replay, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "ByHardLink" : "ByMovingAside");
                         });

}  // namespace
