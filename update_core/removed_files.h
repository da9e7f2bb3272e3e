#pragma once
#include <string>
#include <vector>

#include "update_core/copy_entry.h"

class C_folder_listings;

// One #DELETE_FILE entry the updater refuses, told as the updater tells it.
struct C_delete_problem {
    int entry = 0;         // the #DELETE_FILE entry's number, from 1
    std::wstring message;  // the updater's warning, word for word
};

// A file of the installation that the update removes.
struct C_removed_file {
    std::wstring rel;  // below the installation folder, every name as stored there
    int entry = 0;     // the #DELETE_FILE entry that names it, from 1 (the first, if several do)
};

struct C_removal_plan {
    // Entries the updater refuses, in entry order, at most one per entry; the
    // update must not go on while there is one.
    std::vector<C_delete_problem> problems;
    // The files to remove, in entry order, each once however many entries name
    // it. An entry whose file is not there names nothing; a file the copy
    // writes is replaced rather than removed, and is left out.
    std::vector<C_removed_file> files;
};

// The entries of `delete_files` that can never name a file of an installation,
// from their text alone: empty, reaching outside it, or into the work folder.
std::vector<C_delete_problem> find_delete_entry_form_problems(const std::vector<std::wstring>& delete_files);

// Looks every entry of `delete_files` up below `dest_dir` (the installation
// folder), through `listings`, and settles what the update removes. Besides
// the form problems above, an entry is refused when it names a folder, or
// reaches a file by another name than the one it is stored under (a short 8.3
// name, trailing dots or spaces) or through a folder that cannot be listed.
// `copied` is what the copy writes, relative to the installation (as
// list_copy_entry gives it); pass none before the copy is listed. Reads only;
// the listings are of the installation as it is, so a caller that changes it
// must take the plan first.
C_removal_plan plan_removed_files(C_folder_listings& listings, const std::wstring& dest_dir,
                                  const std::vector<std::wstring>& delete_files,
                                  const std::vector<C_copy_item>& copied);
