#pragma once
#include <vector>

#include "update_core/copy_entry.h"
#include "update_core/manifest_index.h"

class C_folder_listings;

// Reads the manifest the update ships beside update.ini, if it ships one, and
// holds the update's files to it by what the source check listed, without
// reading their contents: every file the copy takes must be listed there with
// the size it has, and every file listed there must be in gamedata with that
// size. False after telling the player why; a manifest that cannot be read,
// or that names a place outside gamedata, is never passed over. Without a
// manifest (an update written by hand) it checks nothing.
bool check_shipped_files(const std::vector<C_copy_entry>& entries, C_folder_listings& listings);

// The manifest read by the last check_shipped_files that passed; null when
// the update ships none, or before the check.
const C_manifest_index* shipped_manifest();
void forget_shipped_manifest();
