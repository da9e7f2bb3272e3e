#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct dir_entry {
    std::wstring path;  // relative to the listed folder, names as stored on disk
    bool is_folder = false;
    std::uint64_t size = 0;
    bool read_only = false;  // the read-only attribute, which refuses writing
};

// The items of one folder, files and subfolders, in the order the platform
// delivers them ("." and ".." left out), appended to `items` with their bare
// names as `path`. False when the folder cannot be listed (missing, access
// denied) or its listing broke off; `items` then holds what was read.
// `on_item` runs after each item read, so that a long listing can keep a
// window answering.
bool list_folder_items(const std::wstring& folder, std::vector<dir_entry>& items,
                       const std::function<void()>& on_item = {});

// Collects the files of a folder (optionally of its whole subtree) whose
// relative path passes a name and an extension filter, and keeps a running
// total of their sizes over every `list` call.
class C_dir_list {
public:
    // `folder` without a trailing backslash; may be relative to the current folder.
    // A filter of exactly "*" accepts everything; any other `name` must equal the
    // file's relative path without its extension, and any other `ext` its
    // extension, letter case ignored as the file system ignores it (non-ASCII
    // letters too). With `descend`, a subfolder's files stand where the
    // subfolder was met. Answers whether anything was collected; a folder that
    // cannot be read gives nothing, and is named in `unlisted`.
    bool list(const std::wstring& folder, const std::wstring& name, const std::wstring& ext, bool descend);

    std::vector<dir_entry> entries;  // the last call's result
    std::uint64_t total_size = 0;    // grows with every call, never reset
    std::wstring base;               // with a backslash appended
    std::wstring name_filter;
    std::wstring ext_filter;
    bool recursive = false;
    bool with_files = false;
    bool with_folders = false;
    // The last call's folders that could not be listed, or only in part, as
    // `base` + their relative path; their files are missing from `entries`.
    std::vector<std::wstring> unlisted;

private:
    void scan(const std::wstring& rel);
    bool passes_filters(const std::wstring& path) const;
    void collect(dir_entry entry);
};
