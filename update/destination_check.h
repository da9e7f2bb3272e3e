#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "update_core/copy_entry.h"

// The installation checked for what would stop the copy partway, before the
// player is asked: a file the update replaces that is read-only or a symbolic
// link, or one it removes (#DELETE_FILE) that is read-only, a drive without
// room for everything the copy writes, and a file that another program (the
// game, say) holds open, for which the player is asked to close it and try
// again. Each destination file is opened once, and only where the
// listing of its folder shows one. False after telling the player; nothing is
// changed either way.
bool check_destination(const std::vector<C_copy_entry>& entries);

// What the copy of `files` writes on a drive whose clusters are
// `cluster_size` bytes: each file in whole clusters, since the originals are
// kept until the end, and the journal of its steps.
std::uint64_t bytes_the_copy_writes(const std::vector<const C_copy_item*>& files, std::uint64_t cluster_size);
