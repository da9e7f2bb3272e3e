#pragma once
#include <string>

#include "update_check/check_findings.h"

// Checks an update folder (update.ini and gamedata) before it ships, with the
// updater's own reading of the script and its own source check, and reports
// everything the updater would stop at (errors) or pass over without a word
// (warnings). Shows nothing, writes nothing, reads no registry, and leaves the
// current directory alone. Every message names paths relative to `folder`, as
// the updater, run from its own folder, names them to players.
C_check_result check_update_folder(const std::wstring& folder);
