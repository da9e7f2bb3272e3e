#pragma once
#include <string>
#include <vector>

#include "copy_engine/copy_progress.h"

enum class installation_recovery {
    none,         // no update had stopped halfway, or one stopped before it changed anything
    rolled_back,  // an interrupted update was undone now
    completed,    // a complete update had its bookkeeping still there; removed now
    failed,       // the journal's steps could not all be undone: left as they are, with the originals
    refused,      // a work folder that is no interrupted update's (a link, or no journal of this installation):
                  // nothing was touched
};

struct C_recovery {
    installation_recovery outcome = installation_recovery::none;
    // Relative paths where the undo found a player's file instead of what the
    // update had put there, and left it.
    std::vector<std::wstring> kept;
};

// Looks for what an earlier run of the update left in the installation folder
// `dest_dir` and brings the installation to a whole state: a complete update
// keeps its files, an incomplete one is undone.
C_recovery recover_installation(const std::wstring& dest_dir, C_copy_progress& progress);
C_recovery recover_installation(const std::wstring& dest_dir);
