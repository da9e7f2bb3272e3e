#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "util/path_kind.h"

// One file that an entry copies: its path relative to both copy folders, and
// its size when it was listed.
struct C_copy_item {
    std::wstring rel;
    std::uint64_t size = 0;
};

// What one #COPY_FILE entry stands for below the source folder, as the copy
// reads it.
struct C_copy_entry {
    path_kind kind = path_kind::missing;
    std::wstring rel;                // the entry with backslashes only, relative to both copy folders
    std::vector<C_copy_item> files;  // in list order
    std::uint64_t total_size = 0;    // of `files`

    // Whether the copy finds what the entry names: a folder (it may be empty),
    // or a file entry whose listing holds its file.
    bool found() const;
};

// Looks `entry` up below `source_dir` and lists the files it stands for: a
// folder's whole subtree; or the file of the entry's name in its own folder, by
// its stored name. A missing entry lists nothing.
C_copy_entry list_copy_entry(const std::wstring& source_dir, const std::wstring& entry);
