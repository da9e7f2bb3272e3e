#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "file/scoped_system.h"

// Reads the items of one folder in the order the platform delivers them, "."
// and ".." left out: every listing of a folder goes through it. A walk through
// a tree goes only into the items that `descends` names, so that it never
// follows a link (a junction or a symbolic link) out of the tree.
class C_folder_walk {
public:
    // `search`: the folder followed by "\*", or by a narrower pattern of names.
    explicit C_folder_walk(const std::wstring& search);
    C_folder_walk(const C_folder_walk&) = delete;
    C_folder_walk& operator=(const C_folder_walk&) = delete;

    bool done() const { return done_; }
    void next();

    // The current item, while not done.
    const WIN32_FIND_DATAW& item() const { return item_; }
    const wchar_t* name() const { return item_.cFileName; }
    bool is_folder() const { return (item_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A folder to walk into: one that is not a reparse point.
    bool descends() const { return is_folder() && !(item_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT); }
    std::uint64_t size() const
    {
        return (static_cast<std::uint64_t>(item_.nFileSizeHigh) << 32) | item_.nFileSizeLow;
    }

    // Once done: 0 when the listing was read to its end, or when nothing matched
    // at all (a drive's root, which has no "." item, may answer so when empty);
    // otherwise the system's error code from the open or the read that broke
    // the listing off.
    DWORD error() const { return error_; }

private:
    void read_next();
    void skip_dots();

    WIN32_FIND_DATAW item_;
    C_scoped_find find_;
    bool done_ = false;
    DWORD error_ = 0;
};
