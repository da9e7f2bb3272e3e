#pragma once
#include <vector>

#include "update_core/copy_entry.h"

// Before the prompt: a destination folder of `entries` that lies on another
// drive through a link (a junction, a mount point) stops the update with a box
// that names the link. Files that are symbolic links are refused by the check
// of the files the update replaces, which opens each of them anyway. False
// after telling the player; nothing is changed either way.
bool check_destination_links(const std::vector<C_copy_entry>& entries);
