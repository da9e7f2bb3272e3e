#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "update_make/release_listing.h"

// Two releases of the game compared file by file, as the maker of an update
// sees them: what the update must carry from NEW, and what it cannot undo.

// Files are compared by size first; only a pair of the same size is read, both
// files at once, chunk by chunk, up to the first chunk that differs. Two pairs
// are read at a time, each reader with two chunks of its own.
constexpr int RELEASE_COMPARE_CHUNK = 1 << 20;

struct C_release_file {
    std::wstring rel;  // below the release folder, names as NEW stores them
    std::uint64_t size = 0;
    bool in_old = false;         // OLD holds it too, with other contents
    bool old_read_only = false;  // and OLD's copy is read-only
};

// A file that could not be read through, and the system's reason.
struct C_unreadable_file {
    bool in_old = false;  // OLD's copy, else NEW's
    std::wstring rel;
    std::wstring reason;
};

struct C_compare_counts {
    std::uint64_t files = 0;  // NEW's files looked at so far
    std::uint64_t bytes = 0;  // read so far, from both releases
    std::uint64_t total_files = 0;  // NEW's files
    std::uint64_t total_bytes = 0;  // what the files of the same size hold, in both releases
};

struct C_release_diff {
    std::vector<C_release_file> update;  // NEW's files missing from OLD or differing from it, in path order
    std::vector<std::wstring> removed;   // OLD's files gone from NEW, relative, in path order
    std::vector<C_unreadable_file> unreadable;
    C_compare_counts counts;
};

// Compares the files the walks of OLD and NEW found (list_release), read
// below `old_dir` and `new_dir` (any form of path the system opens). `progress`
// is called on the calling thread, about ten times a second while contents are
// read. An interrupted make stops the reading; the result is then incomplete.
C_release_diff compare_releases(const std::wstring& old_dir, const std::wstring& new_dir,
                                const std::vector<C_release_entry>& old_files,
                                const std::vector<C_release_entry>& new_files,
                                const std::function<void(const C_compare_counts&)>& progress);
