#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "util/dir_list.h"
#include "util/path_kind.h"

// What the copy goes through for one #COPY_FILE entry: the entry's kind on disk
// and the files it lists, with paths relative to the source folder, in the
// order they are copied.
struct C_entry_files {
    path_kind kind = path_kind::missing;
    std::vector<dir_entry> files;
    std::uint64_t total_size = 0;
};

C_entry_files list_entry_files(const std::wstring& source_dir, const std::wstring& entry);
