#pragma once
#include <string>

// The system's error code of a failed call (GetLastError), 0 for none.
using system_error = unsigned long;

// What stopped a copy, with the path it concerns and the system's reason, for
// its owner to tell the player. Handles are closed by their owners before it
// is returned, so that the rollback finds every file free.
enum class copy_failure {
    none,
    work_folder_not_made,  // `path`: the work folder
    work_folder_refused,   // `path`: the work folder, there already (a link, or an update's left-over)
    journal_not_written,   // `path`: the journal
    source_not_opened,     // `path`: the update's file
    source_not_read,
    source_damaged,        // `path`: the update's file, whose content its owner's check refused
    dest_not_opened,       // `path`: the destination, in use, read-only, a link or a folder
    dest_not_written,      // `path`: the destination, whose new content could not be written or put in place
    not_undone,            // `path`: a destination that could not be put back as it was
};

struct C_copy_failure {
    copy_failure what = copy_failure::none;
    std::wstring path;
    system_error code = 0;

    explicit operator bool() const { return what != copy_failure::none; }
};
