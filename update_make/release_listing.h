#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A release folder as the maker walks it: every file that no --exclude pattern
// leaves out, and what a plain listing would pass over without a word:
// folders that cannot be listed, links, empty folders.

// The --exclude patterns of one make, and which of them the walks have used.
class C_exclusions {
public:
    explicit C_exclusions(std::vector<std::wstring> patterns);
    // Whether a pattern leaves `rel` out (see pattern_fits); the folders above
    // it must have been asked first.
    bool exclude(const std::wstring& rel, bool is_folder);
    // The patterns that left nothing out, in the order given.
    std::vector<std::wstring> unused() const;

private:
    std::vector<std::wstring> patterns_;
    std::vector<bool> used_;
};

struct C_release_entry {
    std::wstring rel;  // below the release folder, names as stored
    std::uint64_t size = 0;
    bool read_only = false;
};

struct C_unlisted_folder {
    std::wstring rel;  // empty for the release folder itself
    unsigned long error = 0;
};

struct C_release_listing {
    std::vector<C_release_entry> files;      // in path order (names_less)
    std::vector<std::wstring> empty_folders;  // holding nothing at all
    // Junctions and symbolic links to folders: not followed, since one that
    // points above itself would repeat the release down to the path limit.
    std::vector<std::wstring> links;
    std::vector<C_unlisted_folder> unlisted;  // access denied, a path too long, ...
};

// Walks `folder` with its whole subtree. Stops early, with what it has, once
// the make is interrupted.
C_release_listing list_release(const std::wstring& folder, C_exclusions& exclusions);
