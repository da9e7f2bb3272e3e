#pragma once
#include <string>
#include <vector>

#include "update_check/check_findings.h"
#include "update_make/release_listing.h"

// What the maker finds about the release folders themselves, as findings that
// name paths joined to OLD or NEW as given.

// The game's engine must stand at the top of both releases: without it NEW is
// most likely given one level too high, and every entry would name the wrapper
// folder, landing beside the game instead of in it; OLD so given makes every
// file look new. Both are errors.
std::vector<C_check_finding> check_release_tops(const std::wstring& old_dir, const std::wstring& new_dir);

// Folders of a release that could not be listed (errors) and links that were
// not followed (`link_kind`: in NEW an error, since nothing below one ships).
std::vector<C_check_finding> review_release_listing(const std::wstring& folder, const C_release_listing& listing,
                                                    finding_kind link_kind);

// Empty folders of NEW that OLD lacks: the updater copies files only, so
// players never get them. OLD is looked at below `old_opened`, NEW named as
// `new_dir`.
std::vector<C_check_finding> review_empty_folders(const std::wstring& old_opened, const std::wstring& new_dir,
                                                  const std::vector<std::wstring>& empty_folders);

// --exclude patterns that left nothing out.
std::vector<C_check_finding> review_unused_excludes(const std::wstring& old_dir, const std::wstring& new_dir,
                                                    const std::vector<std::wstring>& unused);
