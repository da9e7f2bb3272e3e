#pragma once
#include <string>
#include <vector>

#include "update_check/check_findings.h"

class C_folder_listings;

// The update's manifest (update.sha256) held to gamedata in full: read as the
// updater reads it, then every file of gamedata hashed. A file damaged, missing
// or not listed is an error naming it; no manifest where gamedata holds files,
// a warning. Reads the update folder `folder` (absolute), gamedata through
// `listings`, as the rest of the check does.
std::vector<C_check_finding> check_manifest(C_folder_listings& listings, const std::wstring& folder);
