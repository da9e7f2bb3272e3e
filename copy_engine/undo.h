#pragma once
#include <string>
#include <vector>

#include "copy_engine/copy_failure.h"
#include "copy_engine/copy_progress.h"
#include "copy_engine/journal_record.h"
#include "copy_engine/work_place.h"

struct C_undo {
    bool changed = false;            // something in the installation was put back or removed
    std::vector<std::wstring> kept;  // relative paths left as a player's: they no longer hold what the update put there
    C_copy_failure failure;          // the first step that could not be undone
};

// Undoes the steps of `records`, the last first, and goes on past one that
// fails so that as much as can be is put back. A step is undone only where its
// path still holds what the step put there, unchanged (its stamp); a file
// changed or replaced since is the player's and stays. Every undo may be run
// again: one that was itself interrupted is completed by running it once more.
C_undo undo_steps(const C_work_place& place, const std::vector<C_journal_record>& records, C_copy_progress& progress);

// Removes the work folder with everything in it, the journal last, never
// following a link out of it. 0 when it is gone.
system_error remove_work_folder(const C_work_place& place, C_copy_progress& progress);
