#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "copy_engine/recovery.h"
#include "support/copy_scenario.h"
#include "support/disk_steps.h"
#include "support/tree_snapshot.h"

// A power cut at every point of the copy. A crash leaves the names as far as
// the file system had them, in order, and each file's data only as far as its
// last sync: beyond it nothing, or zeros where the file's length had reached
// the disk. Or, as the system's writer may also leave it, the data written
// since the last sync, with the names only as far as some point since. For every
// prefix of the steps the copy announces, the test builds each such state on
// disk from a run stopped there, runs the recovery, and compares the
// installation byte for byte with how it was before the update and after it.

namespace {

std::wstring key_of(const std::wstring& path)
{
    std::wstring key = path;
    for (auto& c : key) c = static_cast<wchar_t>(std::towlower(c));
    return key;
}

struct C_written {
    std::wstring path;
    std::uint64_t written = 0;  // the end of what was written
    std::uint64_t synced = 0;   // the end of what the last sync made durable
};

enum class lost_data { cut, zeros };

// Follows every file written by the steps through the renames that moved it.
std::map<std::wstring, C_written> written_files(const std::vector<C_recorded_step>& steps)
{
    std::map<std::wstring, C_written> files;
    const auto move = [&](const std::wstring& from, const std::wstring& to) {
        const auto found = files.find(key_of(from));
        if (found == files.end()) return;
        C_written file = found->second;
        files.erase(found);
        file.path = to;
        files[key_of(to)] = file;
    };
    for (const C_recorded_step& step : steps) {
        switch (step.change) {
        case disk_change::rename: move(step.from, step.path); break;
        case disk_change::remove_file: files.erase(key_of(step.path)); break;
        case disk_change::write: {
            C_written& file = files[key_of(step.path)];
            file.path = step.path;
            file.written = std::max<std::uint64_t>(file.written, step.offset + step.data.size());
            break;
        }
        case disk_change::sync: {
            const auto found = files.find(key_of(step.path));
            if (found != files.end()) found->second.synced = found->second.written;
            break;
        }
        default: break;
        }
    }
    return files;
}

HANDLE open_for_change(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Loses what the steps wrote after each file's last sync.
void lose_unsynced_data(const std::vector<C_recorded_step>& steps, lost_data lost)
{
    for (const auto& entry : written_files(steps)) {
        const C_written& file = entry.second;
        if (file.written <= file.synced) continue;
        const HANDLE handle = open_for_change(file.path);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "a written file is gone: " << describe_step(steps.back());
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(file.synced);
        SetFilePointerEx(handle, at, nullptr, FILE_BEGIN);
        if (lost == lost_data::cut) {
            SetEndOfFile(handle);
        } else {
            const std::string zeros(static_cast<std::size_t>(file.written - file.synced), '\0');
            DWORD done = 0;
            WriteFile(handle, zeros.data(), static_cast<DWORD>(zeros.size()), &done, nullptr);
        }
        CloseHandle(handle);
    }
}

// Writes again what `steps` wrote, where the file is there.
void keep_written_data(const std::vector<C_recorded_step>& steps)
{
    for (const C_recorded_step& step : steps) {
        if (step.change != disk_change::write) continue;
        const HANDLE handle = open_for_change(step.path);
        if (handle == INVALID_HANDLE_VALUE) continue;
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(step.offset);
        SetFilePointerEx(handle, at, nullptr, FILE_BEGIN);
        DWORD done = 0;
        WriteFile(handle, step.data.data(), static_cast<DWORD>(step.data.size()), &done, nullptr);
        CloseHandle(handle);
    }
}

class PowerCut : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenario.install_old_files();
        C_disk_steps all;
        ASSERT_FALSE(scenario.apply().failure);
        full = all.steps();
        // Past the plan's sync only the copy's own thread makes steps, in the same order every run.
        for (std::size_t i = 0; i < full.size() && placing_from == 0; ++i) {
            const C_recorded_step& step = full[i];
            const bool into_installation = (step.change == disk_change::rename || step.change == disk_change::make_link) &&
                                           step.path.find(L"~update_rollback") == std::wstring::npos;
            if (into_installation) placing_from = i;
        }
        ASSERT_GT(placing_from, 0u);
    }

    // Recovers and compares; a state that is neither before nor after is a failure.
    void expect_whole(const std::string& where)
    {
        recover_installation(scenario.dest());
        const C_tree now = snapshot_tree(scenario.dest());
        const std::string from_before = tree_differences(scenario.before.files, now);
        const std::string from_after = tree_differences(scenario.after.files, now);
        if (!from_before.empty() && !from_after.empty()) {
            ADD_FAILURE() << where << ": neither before nor after\n  against before: " << from_before
                          << "\n  against after: " << from_after;
        }
        if (from_after.empty()) ++after_count;
    }

    std::string where(std::size_t k, const char* what) const
    {
        return "power cut after " + std::to_string(k) + " steps (the last: " +
               (k ? describe_step(full[k - 1]) : std::string("none")) + "), " + what;
    }

    C_copy_scenario scenario;
    std::vector<C_recorded_step> full;
    std::size_t placing_from = 0;
    std::size_t after_count = 0;
};

TEST_F(PowerCut, EveryStateACrashCanLeaveRecoversToBeforeOrAfter)
{
    std::size_t states = 0;
    for (std::size_t k = 0; k <= full.size(); ++k) {
        for (const lost_data lost : {lost_data::cut, lost_data::zeros}) {
            scenario.install_old_files();
            {
                C_disk_steps stop(k);
                scenario.apply();
                ASSERT_NO_FATAL_FAILURE(lose_unsynced_data(stop.steps(), lost));
            }
            expect_whole(where(k, lost == lost_data::cut ? "data after each file's last sync gone"
                                                         : "zeros after each file's last sync"));
            ++states;
        }
        if (k <= placing_from) continue;
        // The names as far as some point since the last sync, and everything
        // written since kept.
        std::size_t synced = k;
        while (synced-- > 0 && full[synced].change != disk_change::sync) {
        }
        for (const std::size_t names : {synced + 1, (synced + 1 + k) / 2, k - 1}) {
            if (names < synced + 1 || names >= k) continue;
            scenario.install_old_files();
            {
                C_disk_steps stop(names);
                scenario.apply();
            }
            keep_written_data(std::vector<C_recorded_step>(full.begin() + static_cast<std::ptrdiff_t>(names),
                                                           full.begin() + static_cast<std::ptrdiff_t>(k)));
            expect_whole(where(k, ("names as far as step " + std::to_string(names) +
                                   ", data written since the last sync kept").c_str()));
            ++states;
        }
        if (HasFailure()) break;
    }
    EXPECT_GT(states, 2 * full.size());
    EXPECT_GT(after_count, 0u) << "some cuts came after the update was complete";
}

}  // namespace
