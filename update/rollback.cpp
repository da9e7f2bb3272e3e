#include "update/rollback.h"

#include <windows.h>

#include "nt3/pump.h"
#include "update/disk_step.h"
#include "update/journal_file.h"
#include "update_core/work_folder.h"
#include "util/fs/folder_walk.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"

namespace {

const wchar_t* const JOURNAL_NAME = L"update.journal";
const wchar_t* const ORIGINALS_NAME = L"originals";
const wchar_t* const INCOMING_NAME = L"incoming";
// A long rollback keeps the progress dialog answering.
const std::size_t STEPS_PER_PUMP = 64;

bool delete_file(const std::wstring& path)
{
    if (!disk_step_allowed()) return false;
    if (DeleteFileW(path.c_str())) return true;
    return get_path_kind(path) != path_kind::file;
}

// An empty folder that the update made; one that holds anything else stays.
bool undo_folder(const std::wstring& path)
{
    if (!disk_step_allowed()) return false;
    if (RemoveDirectoryW(path.c_str())) return true;
    if (get_path_kind(path) != path_kind::folder) return true;
    // A folder that cannot be read is not known to hold anything.
    return !C_folder_walk(path_join(path, L"*")).done();
}

// The original is put back only while it is still aside; once it is back,
// the file in its place is no longer the update's and stays.
bool undo_aside(const C_work_place& place, const std::wstring& rel, std::size_t n)
{
    const std::wstring original = place.original(n);
    if (get_path_kind(original) != path_kind::file) return true;
    const std::wstring path = path_join(place.dest_dir, rel);
    if (!disk_step_allowed() || !MoveFileExW(original.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    // Stopped between keeping a second name of the original and replacing it,
    // both names are the same file, and a rename from one onto the other
    // leaves both: the spare one goes.
    return delete_file(original);
}

std::size_t count_asides(const std::vector<C_journal_record>& records)
{
    std::size_t asides = 0;
    for (const C_journal_record& record : records) {
        if (record.step == journal_step::aside) ++asides;
    }
    return asides;
}

// `asides` counts the `aside` records before this one.
bool undo_record(const C_work_place& place, const C_journal_record& record, std::size_t asides)
{
    switch (record.step) {
    case journal_step::folder: return undo_folder(path_join(place.dest_dir, record.rel));
    case journal_step::new_file: return delete_file(path_join(place.dest_dir, record.rel));
    case journal_step::aside: return undo_aside(place, record.rel, asides);
    case journal_step::done: break;
    }
    return true;
}

// Removes `path` and the folders below it while they hold no file. True when
// it is gone (or was never there).
bool remove_empty_folders(const std::wstring& path)
{
    const path_kind kind = get_path_kind(path);
    if (kind == path_kind::missing) return true;
    if (kind == path_kind::file) return false;
    bool empty = true;
    // The listing is closed before the folder is removed.
    for (C_folder_walk walk(path_join(path, L"*")); !walk.done(); walk.next()) {
        if (!walk.descends() || !remove_empty_folders(path_join(path, walk.name()))) empty = false;
    }
    if (!empty || !disk_step_allowed()) return false;
    return RemoveDirectoryW(path.c_str()) || get_path_kind(path) == path_kind::missing;
}

}  // namespace

C_work_place::C_work_place(const std::wstring& dest)
    : dest_dir(dest), folder(path_join(dest, UPDATE_WORK_FOLDER)), journal(path_join(folder, JOURNAL_NAME)),
      originals(path_join(folder, ORIGINALS_NAME)), incoming(path_join(folder, INCOMING_NAME))
{
}

std::wstring C_work_place::original_folder(std::size_t n) const
{
    return path_join(originals, std::to_wstring(n / ORIGINALS_PER_FOLDER));
}

std::wstring C_work_place::original(std::size_t n) const
{
    return path_join(original_folder(n), std::to_wstring(n));
}

bool undo_journal_records(const C_work_place& place, const std::vector<C_journal_record>& records)
{
    bool undone = true;
    std::size_t steps = 0;
    std::size_t asides = count_asides(records);
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        if (record->step == journal_step::aside) --asides;
        if (!undo_record(place, *record, asides)) undone = false;
        if (++steps % STEPS_PER_PUMP == 0) NT3::pump_messages();
    }
    return undone;
}

bool discard_originals(const C_work_place& place, std::size_t count)
{
    bool discarded = true;
    for (std::size_t n = 0; n < count; ++n) {
        const std::wstring original = place.original(n);
        // A read-only original is no reason to keep it.
        if (get_path_kind(original) == path_kind::file && disk_step_allowed()) {
            SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        if (!delete_file(original)) discarded = false;
        if ((n + 1) % STEPS_PER_PUMP == 0) NT3::pump_messages();
    }
    return discarded;
}

bool remove_work_place(const C_work_place& place)
{
    // Only ever a new file not yet in place, which nothing needs.
    if (get_path_kind(place.incoming) != path_kind::missing && !delete_file(place.incoming)) return false;
    if (!remove_empty_folders(place.originals)) return false;
    if (get_path_kind(place.journal) != path_kind::missing && !delete_file(place.journal)) return false;
    // Anything else in the folder is not the update's: the folder then stays.
    if (disk_step_allowed()) RemoveDirectoryW(place.folder.c_str());
    return true;
}

installation_recovery recover_installation(const std::wstring& dest_dir)
{
    const C_work_place place(dest_dir);
    if (get_path_kind(place.journal) != path_kind::file) {
        // An update stopped before its journal was made, or after it was removed,
        // leaves at most its empty folder.
        if (get_path_kind(place.folder) == path_kind::folder) remove_empty_folders(place.folder);
        return installation_recovery::none;
    }
    std::vector<C_journal_record> records;
    if (!read_journal(place.journal, records)) return installation_recovery::failed;
    const bool complete = !records.empty() && records.back().step == journal_step::done;
    if (complete) {
        // The update itself is whole; originals that cannot go yet are tried again next time.
        if (discard_originals(place, count_asides(records))) remove_work_place(place);
        return installation_recovery::completed;
    }
    if (!undo_journal_records(place, records) || !remove_work_place(place)) return installation_recovery::failed;
    return installation_recovery::rolled_back;
}
