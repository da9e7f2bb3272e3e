#pragma once
#include <string>
#include <vector>

#include "update_core/copy_entry.h"

enum class destination_link {
    none,
    file_link,   // the destination file is a symbolic link
    other_drive, // a folder on the way is a link (junction, mount point) to another volume
};

struct C_destination_link {
    destination_link kind = destination_link::none;
    std::wstring path;  // the link, below the installation
};

// The first place where the copy of the files of `entries` into `dest_dir` would go through
// a link that it cannot follow safely: a symbolic link to a file, which would
// be written through to wherever it points, or a folder that leads to another
// volume, where a file cannot be renamed into place. Links to folders on the
// installation's own volume are followed as the player set them up. Each
// folder of the installation is looked at once.
C_destination_link find_destination_link(const std::wstring& dest_dir, const std::vector<C_copy_entry>& entries);
