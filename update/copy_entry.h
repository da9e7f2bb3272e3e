#pragma once
#include <string>

#include "util/dir_list.h"
#include "util/path_kind.h"

// What one #COPY_FILE entry stands for below the source folder, as the copy
// reads it.
struct C_copy_entry {
    path_kind kind = path_kind::missing;
    std::wstring rel;          // the entry with backslashes only, relative to both copy folders
    std::wstring folder_part;  // a file entry's folder, empty directly in the source folder
};

// Looks `entry` up below `source_dir` and fills `list` with the files it stands
// for: a folder's whole subtree, relative to the folder; or the file of the
// entry's name in its own folder, by its stored name. A missing entry lists nothing.
C_copy_entry list_copy_entry(const std::wstring& source_dir, const std::wstring& entry, C_dir_list& list);

// Whether the copy finds what the entry names: a folder (it may be empty), or a
// file entry whose listing holds its file.
bool copy_entry_found(const C_copy_entry& entry, const C_dir_list& list);

// The warning for an entry that is not there, naming it as written.
std::wstring missing_entry_message(const std::wstring& source_dir, const std::wstring& entry);
