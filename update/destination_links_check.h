#pragma once
#include <vector>

#include "update_core/copy_entry.h"

// Before the prompt: a destination of `entries` that the copy would reach
// through a link (a symbolic link to a file, or a folder on another drive
// through a junction or mount point) stops the update with a box that names
// it. False after telling the player; nothing is changed either way.
bool check_destination_links(const std::vector<C_copy_entry>& entries);
