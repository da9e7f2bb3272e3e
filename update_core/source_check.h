#pragma once
#include <string>
#include <vector>

#include "update_core/copy_entry.h"

class C_folder_listings;

enum class source_problem { no_source_folder, entry_empty, entry_outside, entry_missing };

// One problem with the update's own files, told as the updater tells it.
struct C_source_finding {
    int entry = 0;         // the #COPY_FILE entry's number, from 1; 0 for the source folder itself
    std::wstring message;  // the updater's warning, word for word
    source_problem problem = source_problem::no_source_folder;
};

// Every problem of the source folder and of the entries of `copy_files`, in
// entry order, at most one per entry. A missing source folder is the only
// finding: no entry is looked at then. Shows nothing and changes nothing; a
// relative `source_dir` is taken from the current directory.
std::vector<C_source_finding> find_source_problems(const std::wstring& source_dir,
                                                   const std::vector<std::wstring>& copy_files);

// The same, reading folders through `listings`, which the caller may read on.
// Unless null, `listed` receives what each entry stands for, in entry order (an
// entry with a problem as what was found of it, an empty or unsafe one as
// nothing); none when the source folder is missing. Messages name the source
// folder as `shown_source_dir`, the path the updater reads it by.
std::vector<C_source_finding> find_source_problems(C_folder_listings& listings, const std::wstring& source_dir,
                                                   const std::wstring& shown_source_dir,
                                                   const std::vector<std::wstring>& copy_files,
                                                   std::vector<C_copy_entry>* listed);
