#pragma once
#include <string>

// What a #DELETE_FILE entry can stand for, judged from its text alone: a file
// relative to the installation folder, or nothing the updater would ever
// remove.
enum class delete_entry_form {
    names_a_file,
    empty,           // nothing, or only "." and empty parts: the installation folder itself
    outside,         // absolute, rooted, a drive or a stream, or a ".." part (entry_is_unsafe)
    in_work_folder,  // the updater's own folder, or a file in it
};

delete_entry_form delete_entry_form_of(const std::wstring& entry);
