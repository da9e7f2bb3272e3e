#pragma once
#include <string>
#include <vector>

#include "copy_engine/copy_progress.h"
#include "copy_engine/journal_record.h"

// Once an update is complete: removes each folder of the installation
// `dest_dir` that a file the update removed stood in, and each folder above
// it, where nothing is left in it. The deepest go first, so that a folder that
// held only folders the update emptied goes too; a folder that holds anything
// (a player's file, an empty folder of the player's) stays, and so does a link
// to a folder. Nothing is reported: the update is complete either way, and
// what is left is only an empty folder.
void remove_emptied_folders(const std::wstring& dest_dir, const std::vector<C_journal_record>& records,
                            C_copy_progress& progress);
