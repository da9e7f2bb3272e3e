#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "util/fs/path_kind.h"

class C_folder_listings;

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
    bool complete = true;            // false when a folder it lists could not be listed in full

    // Whether the copy finds all the entry names: a folder (it may be empty)
    // listed in full, or a file entry whose listing holds its file.
    bool found() const;
};

// Looks `entry` up below `source_dir` and lists the files it stands for: a
// folder's whole subtree; or the file of the entry's name in its own folder, by
// its stored name. A missing entry lists nothing. Folders are read through
// `listings`, so that entries of one folder share its one listing.
C_copy_entry list_copy_entry(C_folder_listings& listings, const std::wstring& source_dir, const std::wstring& entry);

// Whether every component of `rel` (an entry's relative path, backslashes
// only) names an item stored under that very name below `source_dir`, letter
// case aside. The platform's own look-up also takes a short 8.3 name and a name
// with trailing dots or spaces for a stored name; the copy lists names and
// would pass such an entry over. Empty and "." components stay where they are.
bool entry_is_stored_as_named(C_folder_listings& listings, const std::wstring& source_dir, const std::wstring& rel);
