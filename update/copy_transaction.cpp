#include "update/copy_transaction.h"

#include <windows.h>

#include <vector>

#include "file/scoped_handle.h"
#include "update/disk_step.h"
#include "util/fs/dir_create.h"
#include "util/fs/final_path.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"

namespace {

bool hard_links_allowed = true;

// The folder part of a relative path; empty for a name alone.
std::wstring folder_of(const std::wstring& rel)
{
    const std::size_t slash = rel.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : rel.substr(0, slash);
}

// Opened for writing and shared with nobody: a file held open by anyone else,
// or read-only, cannot be opened so, and must not be set aside either. Gives `rel` with its
// last component as the file system stores it, read from the open file, which
// costs less than a search of its folder.
bool can_be_written(const std::wstring& dest_dir, const std::wstring& rel, std::wstring& stored)
{
    const C_scoped_handle handle(CreateFileW(path_join(dest_dir, rel).c_str(), GENERIC_WRITE, 0, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return false;
    const std::wstring name = path_get_file_name(final_path_of(handle.get()));
    const std::wstring folder = folder_of(rel);
    stored = name.empty() ? rel : folder.empty() ? name : path_join(folder, name);
    return true;
}

}  // namespace

bool allow_hard_links(bool allowed)
{
    const bool before = hard_links_allowed;
    hard_links_allowed = allowed;
    return before;
}

bool C_copy_transaction::begin()
{
    if (!disk_step_allowed()) return false;
    const bool made = CreateDirectoryW(place_.folder.c_str(), nullptr) != 0;
    // Originals already there would be taken for this update's own.
    if (get_path_kind(place_.folder) != path_kind::folder || get_path_kind(place_.originals) != path_kind::missing) {
        return false;
    }
    if (!journal_.create(place_.journal)) {
        if (made) RemoveDirectoryW(place_.folder.c_str());
        return false;
    }
    begun_ = true;
    return true;
}

bool C_copy_transaction::open_destination(const std::wstring& rel, C_file& dest)
{
    if (!begun_ || !make_folders(folder_of(rel))) return false;
    const std::wstring path = path_join(place_.dest_dir, rel);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return !(attributes & FILE_ATTRIBUTE_DIRECTORY) && open_replacing(rel, dest);
    }
    if (!journal_.append({journal_step::new_file, rel})) return false;
    if (disk_step_allowed() && dest.open(path, FILE_MODE_CREATE_NEW, file_buffering::none)) return true;
    // Nothing was made: the record must not let a rollback delete what is there.
    journal_.retract_last();
    return false;
}

bool C_copy_transaction::open_replacing(const std::wstring& rel, C_file& dest)
{
    std::wstring stored;
    if (!can_be_written(place_.dest_dir, rel, stored)) return false;
    const std::wstring stored_path = path_join(place_.dest_dir, stored);
    const std::wstring original = place_.original(asides_);
    if (asides_ % C_work_place::ORIGINALS_PER_FOLDER == 0 && !make_original_folder()) return false;
    // A file given twice is kept a second time, as the update's own first
    // copy: undone last first, the two records still end with the true original.
    if (!journal_.append({journal_step::aside, stored})) return false;
    // Under Wine a name that a folder does not hold yet is looked for through
    // the whole folder; the original's new names are in small folders, and
    // replacing a file by a rename onto its name makes no name in the
    // installation, so that updating a folder of many files stays linear.
    if (hard_links_allowed && disk_step_allowed() && CreateHardLinkW(original.c_str(), stored_path.c_str(), nullptr)) {
        ++asides_;
        pending_ = stored_path;
        return disk_step_allowed() && dest.open(place_.incoming, L"wb", file_buffering::none);
    }
    if (!disk_step_allowed() || !MoveFileExW(stored_path.c_str(), original.c_str(), 0)) {
        journal_.retract_last();
        return false;
    }
    ++asides_;
    // The old file is aside now; a failure from here on is undone by the rollback.
    return disk_step_allowed() && dest.open(stored_path, FILE_MODE_CREATE_NEW, file_buffering::none);
}

bool C_copy_transaction::finish_destination(C_file& dest)
{
    const std::wstring target = std::move(pending_);
    pending_.clear();
    if (!dest.close()) return false;
    if (target.empty()) return true;
    return disk_step_allowed() &&
           MoveFileExW(place_.incoming.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool C_copy_transaction::make_folders(const std::wstring& folder_rel)
{
    if (folder_rel.empty() || folder_rel == made_folder_) return true;
    // The levels that do not exist yet, deepest first.
    std::vector<std::wstring> missing;
    for (std::wstring level = folder_rel; !level.empty(); level = folder_of(level)) {
        const path_kind kind = get_path_kind(path_join(place_.dest_dir, level));
        if (kind == path_kind::folder) break;
        if (kind == path_kind::file) return false;
        missing.push_back(level);
    }
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        if (!journal_.append({journal_step::folder, *level})) return false;
        if (!disk_step_allowed() || !CreateDirectoryW(path_join(place_.dest_dir, *level).c_str(), nullptr)) {
            journal_.retract_last();
            return false;
        }
    }
    made_folder_ = folder_rel;
    return true;
}

bool C_copy_transaction::make_original_folder()
{
    // Inside the work folder nothing needs recording: its empty folders go with it.
    return disk_step_allowed() && dir_create(place_.original_folder(asides_));
}

bool C_copy_transaction::commit()
{
    if (!begun_) return true;
    if (!journal_.append({journal_step::done, std::wstring()})) return false;
    // From here the update is complete, whatever happens to the process; the
    // one flush of the update makes the record outlast a power failure too.
    journal_.flush();
    journal_.close();
    begun_ = false;
    // What cannot be removed now is removed at the next start. The count of
    // originals is known here: reading the journal back would hold a record of
    // every file in memory.
    if (discard_originals(place_, asides_)) remove_work_place(place_);
    return true;
}

bool C_copy_transaction::roll_back()
{
    if (!begun_) return true;
    journal_.close();
    begun_ = false;
    std::vector<C_journal_record> records;
    return read_journal(place_.journal, records) && undo_journal_records(place_, records) && remove_work_place(place_);
}
