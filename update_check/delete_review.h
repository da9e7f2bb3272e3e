#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "update_check/check_findings.h"

// What the copy entries that pass the source check ship, by path_key: each
// file with the line of the first entry that copies it, and each folder entry
// with its line.
struct C_shipped_paths {
    std::map<std::wstring, int> files;
    std::map<std::wstring, int> folders;
};

struct C_delete_review {
    std::vector<C_check_finding> findings;  // by entry, in entry order
    std::uint64_t removed_files = 0;        // the files the entries without an error name, each once
};

// The #DELETE_FILE entries (`lines` gives each one's line): those the updater
// refuses whatever the installation holds, and those that contradict what the
// update ships, are errors; a file in a folder the update ships, and an entry
// given twice, are warnings.
C_delete_review review_delete_entries(const std::vector<std::wstring>& entries, const std::vector<int>& lines,
                                      const C_shipped_paths& shipped);
