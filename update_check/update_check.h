#pragma once
#include <string>

#include "update_check/check_findings.h"

// Checks an update folder (update.ini and gamedata) before it ships, with the
// updater's own reading of the script and its own source check, and reports
// everything the updater would stop at (errors) or pass over without a word
// (warnings). Shows nothing, writes nothing, reads no registry. The folder is
// the current directory during the call, as the updater's own folder is during
// an update, so that every message names paths exactly as players see them.
C_check_result check_update_folder(const std::wstring& folder);
