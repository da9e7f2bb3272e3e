#include "copy_engine/recovery.h"

#include <windows.h>

#include "copy_engine/disk_ops.h"
#include "copy_engine/emptied_folders.h"
#include "copy_engine/item_stamp.h"
#include "copy_engine/journal_file.h"
#include "copy_engine/undo.h"
#include "copy_engine/work_place.h"
#include "util/fs/folder_walk.h"
#include "util/fs/path.h"

namespace {

// Whether `folder` holds no file anywhere below it, links left unfollowed.
bool holds_no_file(const std::wstring& folder, const std::wstring& except)
{
    for (C_folder_walk walk(path_join(folder, L"*")); !walk.done(); walk.next()) {
        const std::wstring path = path_join(folder, walk.name());
        if (path == except) continue;
        if (!walk.descends() || !holds_no_file(path, except)) return false;
    }
    return true;
}

C_recovery with(installation_recovery outcome)
{
    C_recovery recovery;
    recovery.outcome = outcome;
    return recovery;
}

}  // namespace

C_recovery recover_installation(const std::wstring& dest_dir, C_copy_progress& progress)
{
    const C_work_place place(dest_dir);
    // Read from the name, not from what it opens: a link opens what it leads to.
    const DWORD attributes = GetFileAttributesW(place.folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return with(is_gone(GetLastError()) ? installation_recovery::none : installation_recovery::failed);
    }
    // Anything but a folder of its own would lead the removal out of the installation.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return with(installation_recovery::refused);
    }

    const C_stored_journal stored = read_journal(place.journal);
    if (stored.error && !is_gone(stored.error)) return with(installation_recovery::failed);
    if (stored.error || stored.reading == journal_reading::unwritten) {
        // Stopped before its journal's header was durable, an update had made
        // nothing but the journal there; anything else is someone else's.
        if (!holds_no_file(place.folder, place.journal)) return with(installation_recovery::refused);
        remove_work_folder(place, progress);
        return with(installation_recovery::none);
    }
    if (stored.reading == journal_reading::untrusted) return with(installation_recovery::refused);
    C_file_stamp installation;
    if (folder_stamp(dest_dir, installation) || !same_item(installation, stored.journal.installation)) {
        return with(installation_recovery::refused);
    }

    const std::vector<C_journal_record>& records = stored.journal.records;
    if (!records.empty() && records.back().step == journal_step::done) {
        // The update itself is whole; what cannot go yet is tried again next time.
        remove_emptied_folders(dest_dir, records, progress);
        remove_work_folder(place, progress);
        return with(installation_recovery::completed);
    }
    const C_undo undo = undo_steps(place, records, progress);
    C_recovery recovery;
    recovery.kept = undo.kept;
    if (undo.failure || remove_work_folder(place, progress)) {
        recovery.outcome = installation_recovery::failed;
        return recovery;
    }
    recovery.outcome = undo.changed ? installation_recovery::rolled_back : installation_recovery::none;
    return recovery;
}

C_recovery recover_installation(const std::wstring& dest_dir)
{
    C_quiet_progress quiet;
    return recover_installation(dest_dir, quiet);
}
