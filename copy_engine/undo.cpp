#include "copy_engine/undo.h"

#include <windows.h>

#include "copy_engine/disk_ops.h"
#include "copy_engine/item_stamp.h"
#include "util/fs/folder_walk.h"
#include "util/fs/path.h"

namespace {

// A long undo keeps its owner's window answering.
const std::size_t STEPS_PER_REPORT = 64;

class C_undoing {
public:
    C_undoing(const C_work_place& place, C_copy_progress& progress) : place_(place), progress_(progress) {}

    void undo(const C_journal_record& record, std::size_t n)
    {
        const std::wstring path = path_join(place_.dest_dir, record.rel);
        const C_item_at there = look_at(path);
        if (!there.found() && !there.gone()) return fail(path, there.error);
        // The folder it stood in is gone, which the update never removes: the
        // player's doing, and nothing is put back into it.
        if (there.error == ERROR_PATH_NOT_FOUND) return;
        switch (record.step) {
        case journal_step::folder: return undo_folder(record, path, there);
        case journal_step::new_file: return undo_new_file(record, path, there);
        case journal_step::replace: return undo_replace(record, n, path, there);
        case journal_step::remove: return undo_remove(record, n, path, there);
        case journal_step::done: break;
        }
    }

    void report() { progress_.working(); }

    C_undo result;

private:
    void fail(const std::wstring& path, system_error error)
    {
        if (!result.failure) result.failure = C_copy_failure{copy_failure::not_undone, path, error};
    }

    void changed(system_error error, const std::wstring& path)
    {
        if (error) return fail(path, error);
        result.changed = true;
    }

    // A folder the step made goes only while it is empty: a file in it is no
    // longer the update's once the steps that put files there are undone.
    void undo_folder(const C_journal_record& record, const std::wstring& path, const C_item_at& there)
    {
        if (there.gone() || !same_item(there.stamp, record.placed)) return;
        const system_error error = remove_folder(path);
        if (error != ERROR_DIR_NOT_EMPTY) changed(error, path);
    }

    void undo_new_file(const C_journal_record& record, const std::wstring& path, const C_item_at& there)
    {
        if (there.gone()) return;
        if (!same_file_unchanged(there.stamp, record.placed)) return result.kept.push_back(record.rel);
        changed(remove_file(path), path);
    }

    void undo_replace(const C_journal_record& record, std::size_t n, const std::wstring& path, const C_item_at& there)
    {
        // Not replaced yet, or put back already.
        if (there.found() && same_item(there.stamp, record.original)) return;
        const bool ours = there.found() && same_file_unchanged(there.stamp, record.placed);
        if (there.found() && !ours) return result.kept.push_back(record.rel);
        const std::wstring original = place_.original(n);
        const C_item_at kept = look_at(original);
        if (kept.gone()) {
            // Stopped before the original was set aside, with nothing at its
            // place: nothing of it is left to put back.
            if (ours) fail(path, ERROR_FILE_NOT_FOUND);
            return;
        }
        if (!kept.found()) return fail(path, kept.error);
        if (!same_item(kept.stamp, record.original)) return fail(path, ERROR_FILE_NOT_FOUND);
        changed(ours ? rename_over(original, path) : rename_item(original, path), path);
    }

    void undo_remove(const C_journal_record& record, std::size_t n, const std::wstring& path, const C_item_at& there)
    {
        // Not set aside yet, or put back already.
        if (there.found() && same_item(there.stamp, record.original)) return;
        // Something else has its name now: the player's, and it stays.
        if (there.found()) return result.kept.push_back(record.rel);
        const std::wstring original = place_.original(n);
        const C_item_at kept = look_at(original);
        // Gone from both places: nothing of it is left to put back.
        if (kept.gone()) return;
        if (!kept.found()) return fail(path, kept.error);
        if (!same_item(kept.stamp, record.original)) return fail(path, ERROR_FILE_NOT_FOUND);
        changed(rename_item(original, path), path);
    }

    const C_work_place& place_;
    C_copy_progress& progress_;
};

system_error remove_tree(const std::wstring& folder, C_copy_progress& progress, std::size_t& removed)
{
    system_error first = 0;
    for (C_folder_walk walk(path_join(folder, L"*")); !walk.done(); walk.next()) {
        const std::wstring path = path_join(folder, walk.name());
        system_error error = 0;
        if (walk.descends()) {
            error = remove_tree(path, progress, removed);
        } else if (walk.is_folder()) {
            // A link to a folder goes as a link: what it leads to is not the update's.
            error = remove_folder(path);
        } else {
            if (walk.item().dwFileAttributes & FILE_ATTRIBUTE_READONLY) set_attributes(path, FILE_ATTRIBUTE_NORMAL);
            error = remove_file(path);
        }
        if (error && !first) first = error;
        if (++removed % STEPS_PER_REPORT == 0) progress.working();
    }
    if (!first) first = remove_folder(folder);
    return first;
}

}  // namespace

C_undo undo_steps(const C_work_place& place, const std::vector<C_journal_record>& records, C_copy_progress& progress)
{
    C_undoing undoing(place, progress);
    std::size_t n = records.size();
    while (n-- > 0) {
        undoing.undo(records[n], n);
        if (n % STEPS_PER_REPORT == 0) undoing.report();
    }
    return undoing.result;
}

system_error remove_work_folder(const C_work_place& place, C_copy_progress& progress)
{
    std::size_t removed = 0;
    // The journal goes last: while it is there, an interrupted removal is
    // known for the update's own and done again at the next start.
    system_error error = 0;
    for (C_folder_walk walk(path_join(place.folder, L"*")); !walk.done(); walk.next()) {
        const std::wstring path = path_join(place.folder, walk.name());
        if (path == place.journal) continue;
        const system_error failed =
            walk.descends() ? remove_tree(path, progress, removed)
                            : walk.is_folder() ? remove_folder(path) : remove_file(path);
        if (failed && !error) error = failed;
    }
    if (error) return error;
    error = remove_file(place.journal);
    if (error && !is_gone(error)) return error;
    return remove_folder(place.folder);
}
