#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "copy_engine/copy_transaction.h"
#include "copy_engine/recovery.h"
#include "support/copy_scenario.h"
#include "support/disk_steps.h"
#include "support/host_files.h"
#include "support/temp_dir.h"
#include "support/tree_snapshot.h"
#include "support/utf8_text.h"

// The copy engine's undo. The copy runs on real folders, stopped at every point
// between two changes on disk as a killed process stops, and the recovery must
// then bring the installation back whole: as it was before, or, once the
// update was recorded complete, as the update leaves it. The undo touches only
// what the update put there, and the work folder's name leads nowhere else.

namespace {

// Replaced files kept by a second name, or moved aside as on volumes without hard links.
class Replay : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { links_before_ = allow_hard_links(GetParam()); }
    void TearDown() override { allow_hard_links(links_before_); }

    struct C_stops {
        bool complete = false;          // the installation came out updated
        bool stopped = false;           // the copy was stopped
        bool recovery_stopped = false;  // and then its first recovery
    };
    // Applies the update stopped at step `steps`, then recovers, that recovery
    // stopped at `recovery_steps` (negative: never) and run once more. The
    // installation must come out whole: updated, or as it was to the last
    // detail (the update's new files have times of their own).
    C_stops stop_and_recover(std::size_t steps, int recovery_steps)
    {
        const std::string where = "stopped at step " + std::to_string(steps) + ", its recovery at " +
                                  std::to_string(recovery_steps);
        C_stops stops;
        scenario.install_old_files();
        {
            C_disk_steps stop(steps);
            scenario.apply();
            stops.stopped = stop.stopped();
        }
        if (recovery_steps >= 0) {
            C_disk_steps stop(static_cast<std::size_t>(recovery_steps));
            recover_installation(scenario.dest());
            stops.recovery_stopped = stop.stopped();
        }
        const installation_recovery result = recover_installation(scenario.dest()).outcome;
        const C_copy_scenario::C_state now = scenario.state();
        stops.complete = tree_differences(scenario.after.files, now.files).empty();
        if (stops.complete) {
            EXPECT_TRUE(result == installation_recovery::completed || result == installation_recovery::none) << where;
        } else {
            EXPECT_TRUE(result == installation_recovery::rolled_back || result == installation_recovery::none) << where;
            EXPECT_EQ(tree_differences(scenario.before.files, now.files), "") << where;
            EXPECT_EQ(details_differences(scenario.before.details, now.details), "") << where;
        }
        return stops;
    }

    bool links_before_ = true;
    C_copy_scenario scenario;
};

TEST_P(Replay, EveryStopRecoversToBeforeOrToTheCompleteUpdate)
{
    const C_tree& after = scenario.after.files;
    ASSERT_EQ(after.at(L"Mixed.TXT"), "new mixed") << "the stored name is kept";
    ASSERT_EQ(after.at(L"n.dat"), "new n");
    ASSERT_FALSE(after.count(L"~update_rollback\\"));
    ASSERT_FALSE(after.count(L"gone\\")) << "a folder the removals emptied goes, with the one below it";
    ASSERT_FALSE(after.count(L"saves\\old.cfg"));
    ASSERT_EQ(after.at(L"saves\\player.sav"), "the player's") << "a player's file keeps its folder";

    std::size_t complete_from = 0;
    bool completed = false;
    C_stops stops;
    for (std::size_t steps = 0; steps == 0 || stops.stopped; ++steps) {
        stops = stop_and_recover(steps, -1);
        if (stops.complete && !completed) {
            completed = true;
            complete_from = steps;
        }
        EXPECT_EQ(stops.complete, completed) << "complete once, complete at every later stop: " << steps;
        if (HasFailure()) return;
    }
    EXPECT_GT(complete_from, 40u) << "the stops reached into the copy";
}

TEST_P(Replay, ARecoveryStoppedInTurnCompletesWhenRunAgain)
{
    // The copy stopped with every step but "done" made, then once it is
    // recorded complete; the recovery of each stopped at every point.
    std::size_t complete_from = 0;
    while (!stop_and_recover(complete_from, -1).complete) ++complete_from;
    for (std::size_t steps : {complete_from - 1, complete_from}) {
        C_stops stops;
        for (int recovery_steps = 0; recovery_steps == 0 || stops.recovery_stopped; ++recovery_steps) {
            stops = stop_and_recover(steps, recovery_steps);
            EXPECT_EQ(stops.complete, steps == complete_from);
            if (HasFailure()) return;
        }
    }
}

TEST_P(Replay, AReplacedFileKeepsItsHiddenAndSystemAttributes)
{
    const std::string details = scenario.after.details.at(L"a.dat");
    EXPECT_EQ(details.substr(0, details.find(',')), "attributes 0x26") << details;
    scenario.install_old_files();
    ASSERT_FALSE(scenario.apply().failure);
    const std::string again = scenario.state().details.at(L"a.dat");
    EXPECT_EQ(again.substr(0, again.find(',')), "attributes 0x26") << "kept the other way too";
}

INSTANTIATE_TEST_SUITE_P(KeepingOriginals, Replay, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "ByHardLink" : "ByMovingAside");
                         });

// The number of steps the copy makes before it replaces `rel`.
std::size_t steps_before_replacing(const C_copy_scenario& scenario, const std::wstring& rel)
{
    scenario.install_old_files();
    C_disk_steps steps;
    scenario.apply();
    const std::wstring path = scenario.dest() + L"\\" + rel;
    for (std::size_t i = 0; i < steps.steps().size(); ++i) {
        const C_recorded_step& step = steps.steps()[i];
        if (step.change == disk_change::make_link && step.from == path) return i;
    }
    return 0;
}

class Undo : public ::testing::Test {
protected:
    // The copy stopped halfway through putting its files in place, as a crash
    // leaves it: a.dat replaced and new\deep\c.dat made, sub\b.dat not yet replaced.
    void stop_partway()
    {
        const std::size_t stop_at = steps_before_replacing(scenario, L"sub\\b.dat");
        ASSERT_GT(stop_at, 0u);
        scenario.install_old_files();
        C_disk_steps stop(stop_at);
        scenario.apply();
        ASSERT_TRUE(stop.stopped());
        ASSERT_EQ(read_file(dest(L"a.dat")), "new a");
        ASSERT_EQ(read_file(dest(L"new\\deep\\c.dat")), "new c");
        ASSERT_EQ(read_file(dest(L"sub\\b.dat")), "old b");
    }

    std::wstring dest(const std::wstring& rel) const { return scenario.dest() + L"\\" + rel; }

    C_copy_scenario scenario;
};

TEST_F(Undo, AReinstallOverALeftOverJournalLosesNoFreshFile)
{
    ASSERT_NO_FATAL_FAILURE(stop_partway());
    // The player reinstalls the game over the folder: files written afresh,
    // some over the update's (as an installer writes), some in place of it.
    write_file(dest(L"a.dat"), "fresh a");
    DeleteFileW(dest(L"new\\deep\\c.dat").c_str());
    write_file(dest(L"new\\deep\\c.dat"), "fresh c");
    write_file(dest(L"sub\\b.dat"), "fresh b");
    const C_tree reinstalled = snapshot_tree(scenario.dest());

    const C_recovery recovery = recover_installation(scenario.dest());

    const C_tree now = snapshot_tree(scenario.dest());
    EXPECT_EQ(now.at(L"a.dat"), "fresh a");
    EXPECT_EQ(now.at(L"new\\deep\\c.dat"), "fresh c");
    EXPECT_EQ(now.at(L"sub\\b.dat"), "fresh b");
    EXPECT_FALSE(now.count(L"~update_rollback\\"));
    EXPECT_EQ(recovery.kept, (std::vector<std::wstring>{L"new\\deep\\c.dat", L"a.dat"}));
}

TEST_F(Undo, APlayersChangeToAPlacedFileSurvivesARollback)
{
    ASSERT_NO_FATAL_FAILURE(stop_partway());
    // The game, run before the next start, writes to a file the update put there.
    const HANDLE file = CreateFileW(dest(L"a.dat").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, " played", 7, &written, nullptr);
    CloseHandle(file);

    const C_recovery recovery = recover_installation(scenario.dest());

    EXPECT_EQ(recovery.outcome, installation_recovery::rolled_back);
    EXPECT_EQ(recovery.kept, std::vector<std::wstring>{L"a.dat"});
    C_tree expected = scenario.before.files;
    expected[L"a.dat"] = "new a played";
    EXPECT_EQ(tree_differences(expected, snapshot_tree(scenario.dest())), "");
}

TEST_F(Undo, AJournalThatCannotBeTrustedIsRefusedWithEverythingAsItIs)
{
    ASSERT_NO_FATAL_FAILURE(stop_partway());
    const std::wstring journal = dest(L"~update_rollback\\update.journal");
    write_file(journal, read_file(journal) + utf16le(L"move\tkeep.txt\r\n"));
    const C_tree stopped = snapshot_tree(scenario.dest());

    EXPECT_EQ(recover_installation(scenario.dest()).outcome, installation_recovery::refused);
    EXPECT_EQ(tree_differences(stopped, snapshot_tree(scenario.dest())), "");
}

TEST_F(Undo, AJournalOfAnotherInstallationIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(stop_partway());
    // The game folder copied elsewhere, its work folder with it.
    const std::wstring copy = scenario.temp() / L"copied";
    make_folder(copy);
    const C_tree stopped = snapshot_tree(scenario.dest());
    for (const auto& item : stopped) {
        if (item.first.back() == L'\\') {
            make_folder(copy + L"\\" + item.first);
        } else {
            write_file(copy + L"\\" + item.first, item.second);
        }
    }

    EXPECT_EQ(recover_installation(copy).outcome, installation_recovery::refused);
    EXPECT_EQ(tree_differences(stopped, snapshot_tree(copy)), "");
}

TEST_F(Undo, APlantedWorkFolderLinkIsRefusedAndNothingOutsideIsDeleted)
{
    // A genuine journal of this installation, with its staged and kept files,
    // moved outside, and the work folder's name made a link to it.
    ASSERT_NO_FATAL_FAILURE(stop_partway());
    const std::wstring outside = scenario.temp() / L"outside";
    ASSERT_TRUE(MoveFileExW(dest(L"~update_rollback").c_str(), outside.c_str(), 0));
    if (!make_folder_link(dest(L"~update_rollback"), outside)) GTEST_SKIP() << "no folder link could be made here";
    const C_tree planted = snapshot_tree(outside);
    const auto installation = [&] {
        C_tree tree = snapshot_tree(scenario.dest());
        for (auto item = tree.begin(); item != tree.end();) {
            item = item->first.compare(0, 17, L"~update_rollback\\") == 0 ? tree.erase(item) : std::next(item);
        }
        return tree;
    };
    const C_tree stopped = installation();

    EXPECT_EQ(recover_installation(scenario.dest()).outcome, installation_recovery::refused);
    const C_copy_outcome copy = scenario.apply();
    EXPECT_EQ(copy.failure.what, copy_failure::work_folder_refused);
    EXPECT_TRUE(copy.restored);

    EXPECT_EQ(tree_differences(planted, snapshot_tree(outside)), "");
    EXPECT_EQ(tree_differences(stopped, installation()), "");
    remove_link(dest(L"~update_rollback"));
}

TEST_F(Undo, ALookThatFailsOtherwiseThanNotFoundStopsTheRollback_Unlistable)
{
    ASSERT_NO_FATAL_FAILURE(stop_partway());
    C_recovery recovery;
    {
        // A file of the plan cannot be looked at now: it may be there or not.
        C_listing_denied denied(dest(L"sub"));
        std::string why_not;
        if (!denied.in_effect(why_not)) GTEST_SKIP() << why_not;
        recovery = recover_installation(scenario.dest());
    }
    EXPECT_EQ(recovery.outcome, installation_recovery::failed);
    EXPECT_EQ(snapshot_tree(scenario.dest()).count(L"~update_rollback\\update.journal"), 1u);


    // Once it can be looked at again, the rollback completes.
    const installation_recovery again = recover_installation(scenario.dest()).outcome;
    EXPECT_TRUE(again == installation_recovery::rolled_back || again == installation_recovery::none);
    EXPECT_EQ(tree_differences(scenario.before.files, snapshot_tree(scenario.dest())), "");
}

TEST_F(Undo, TheWorkFolderGrantsAccessToAdministratorsAndSystemOnly)
{
    // Stopped once the work folder holds its journal.
    {
        C_disk_steps stop(5);
        scenario.apply();
    }
    PSID owner = nullptr;
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR security = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(dest(L"~update_rollback").c_str(), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION, &owner, nullptr, &acl,
                                    nullptr, &security),
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_NE(acl, nullptr);
    // Wine keeps no permissions of its own: it gives the folder's owner (the
    // administrator who made it) what the entries allow, and everyone else
    // nothing, where a folder made without them is readable by everyone.
    std::vector<std::string> others;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&ace)));
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        const PSID sid = &ace->SidStart;
        if (IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
            EqualSid(sid, owner)) {
            continue;
        }
        LPWSTR text = nullptr;
        ConvertSidToStringSidW(sid, &text);
        others.push_back(text ? to_utf8(text) : "?");
        LocalFree(text);
    }
    LocalFree(security);
    EXPECT_EQ(others, std::vector<std::string>());
    EXPECT_EQ(recover_installation(scenario.dest()).outcome, installation_recovery::none);
}

}  // namespace
