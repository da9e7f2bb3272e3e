#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "util/fs/dir_list.h"

// One folder's items as listed once, found again by name without listing again.
class C_listed_folder {
public:
    bool complete = false;         // false: the folder could not be listed, or only in part
    std::vector<dir_entry> items;  // bare names, in the order the platform delivered them

    // The items whose name matches `name` (a bare name) as C_dir_list's filters
    // match a file entry: name and extension each equal with letter case
    // ignored as the file system ignores it. Files and folders, in list order.
    std::vector<const dir_entry*> named(const std::wstring& name) const;

private:
    mutable std::vector<std::size_t> by_name_;  // indices into `items` in name order; made at the first look-up
};

// The folders that one pass over an update's entries reads, each listed at
// most once however many entries name it or lie in it. A folder is known by its
// path as spelt, so that every look-up sees the very folder the platform finds
// for that spelling.
class C_folder_listings {
public:
    // `on_progress` runs after every so many items read, so that a window
    // stays answering during a long listing.
    explicit C_folder_listings(std::function<void()> on_progress = {});

    const C_listed_folder& folder(const std::wstring& path);

    // `take` for every file below `path` with its path relative to `path`, in
    // the order C_dir_list lists the tree: a subfolder's files where the
    // subfolder was met. False when a folder of the tree could not be listed
    // in full; its files are then missing.
    bool for_each_file(const std::wstring& path,
                       const std::function<void(const std::wstring& rel, const dir_entry& file)>& take);

private:
    bool walk(const std::wstring& path, const std::wstring& rel,
              const std::function<void(const std::wstring& rel, const dir_entry& file)>& take);

    std::function<void()> on_progress_;
    std::size_t items_since_progress_ = 0;
    std::unordered_map<std::wstring, std::unique_ptr<C_listed_folder>> folders_;
};
