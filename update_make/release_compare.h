#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Two releases of the game compared file by file, as the maker of an update
// sees them: what the update must carry from NEW, and what it cannot undo.

// Files are compared by size first; only a pair of the same size is read, both
// files at once, chunk by chunk, up to the first chunk that differs. Two pairs
// are read at a time, each reader with two chunks of its own.
constexpr int RELEASE_COMPARE_CHUNK = 1 << 20;

struct C_release_file {
    std::wstring rel;  // below the release folder, names as NEW stores them
    std::uint64_t size = 0;
    bool in_old = false;  // OLD holds it too, with other contents
};

struct C_compare_counts {
    std::uint64_t files = 0;  // NEW's files looked at so far
    std::uint64_t bytes = 0;  // read so far, from both releases
};

struct C_release_diff {
    std::vector<C_release_file> update;  // NEW's files missing from OLD or differing from it, in path order
    std::vector<std::wstring> removed;   // OLD's files gone from NEW, relative, in path order
    // NEW's files whose path equals another's but for letter case: Windows keeps
    // only one of them.
    std::vector<std::wstring> case_clashes;
    std::vector<std::wstring> unreadable;  // files that could not be read through, joined to OLD or NEW as given
    C_compare_counts counts;
};

// Paths below either release that fit one of `excludes` (see path_is_excluded)
// take no part. `progress` is called on the calling thread, about ten times a
// second while contents are read.
C_release_diff compare_releases(const std::wstring& old_dir, const std::wstring& new_dir,
                                const std::vector<std::wstring>& excludes,
                                const std::function<void(const C_compare_counts&)>& progress);
