#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "update_check/check_findings.h"

class C_progress_line;

// What the publisher asks for: an update that takes a game installed as OLD
// to NEW, laid out in OUT (update.ini, gamedata, update.exe).
struct C_make_request {
    std::wstring old_dir;  // as given; findings name files below it the same way
    std::wstring new_dir;
    std::wstring out_dir;  // missing, or an empty folder; without a trailing separator
    std::wstring reg_path;
    std::wstring game_title;
    std::wstring update_title;
    std::vector<std::wstring> excludes;  // wildcards over relative paths
    std::wstring updater;                // the update.exe placed beside the script
    bool dry_run = false;                // compare and plan only: nothing is written
    bool keep_removed = false;           // no #DELETE_FILE entries: players keep what NEW drops
    bool strict = false;                 // warnings count as errors: OUT is made only without either
};

// One #COPY_FILE entry of the update and what it carries.
struct C_shipped_entry {
    std::wstring entry;
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

struct C_make_result : C_check_result {
    std::vector<C_shipped_entry> entries;  // in the script's order, also on a dry run
    std::vector<std::wstring> removed;     // the #DELETE_FILE entries, in the script's order
    bool interrupted = false;              // Ctrl-C stopped the make before OUT was in place
    bool made = false;                     // OUT holds the update
};

// Compares the releases, plans the entries, lays the update out beside OUT and
// checks it with the checker's own code. Only an update without errors (and,
// when strict, without warnings) becomes OUT; otherwise, on an interruption or
// a dry run OUT is left as it was. Every file of the update carries the
// timestamps of the file it was copied from, update.ini and update.sha256
// those of the newest file shipped, so that two makes of the same releases give the same update. The
// result holds the maker's findings, then the checker's, and the checker's
// count of what the update copies (the plan's on a dry run).
C_make_result make_update(const C_make_request& request, C_progress_line& progress);
