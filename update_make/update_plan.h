#pragma once
#include <functional>
#include <string>
#include <vector>

#include "update_make/release_compare.h"
#include "util/fs/path_kind.h"

// A NEW file that cannot land on a player's disk: OLD has a file where NEW has
// a folder above it, or a folder where NEW has the file.
struct C_blocked_file {
    std::wstring rel;
    std::wstring in_the_way;  // the item of OLD that stands there
};

struct C_update_plan {
    std::vector<std::wstring> entries;  // the #COPY_FILE entries, in the order of the files
    std::vector<C_blocked_file> blocked;
};

// The entries that carry `files` (in path order) to a game installed as OLD.
// The update's gamedata holds these files only, so each top-level folder
// becomes one folder entry for everything below it and each top-level file a
// file entry: the script stays short whatever the number of files, and only
// top-level names pass through it. A folder that holds a file the update
// removes (`removed`, relative paths) is not shipped whole but by the entries
// below it, down to its own files, so that no removal lies in a folder an
// entry ships. `old_kind` tells what a relative path is in OLD.
C_update_plan plan_update_entries(const std::vector<C_release_file>& files,
                                  const std::function<path_kind(const std::wstring&)>& old_kind,
                                  const std::vector<std::wstring>& removed);
