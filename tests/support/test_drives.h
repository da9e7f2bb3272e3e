#pragma once
#include <string>

// Wine running as root opens read-only files for writing anyway; tests of the
// read-only case ask first.
bool read_only_is_enforced(const std::wstring& folder);

// The small drive that tests/small_drive.sh maps for the full-disk cases (named
// by UPDATER_TEST_SMALL_DRIVE, e.g. "T:"), or empty with the reason when there is none.
std::wstring small_drive(std::string& why_not);
