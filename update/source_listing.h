#pragma once
#include <vector>

#include "update_core/copy_entry.h"
#include "util/fs/folder_listings.h"

// What the source check listed of the update's own files, kept for the
// checks before the prompt so that no folder is listed twice before it.
struct C_source_listing {
    C_folder_listings listings;
    std::vector<C_copy_entry> entries;  // what each #COPY_FILE entry stands for, in entry order
};

// The listing of this run; emptied by the source check before it lists.
C_source_listing& source_listing();
// Lets go of it once the checks before the prompt are done.
void release_source_listing();
