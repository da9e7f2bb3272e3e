#pragma once
#include <string>
#include <vector>

#include "update_check/check_findings.h"
#include "util/fs/dir_list.h"

// Checks of an update folder beyond what the updater itself looks at. Findings
// name paths relative to the update folder.

// #REG_PATH given in a form that names a key no installer made.
std::vector<C_check_finding> review_reg_path(const std::wstring& reg_path, int line);

// update.exe in `folder`, beside update.ini and gamedata: without it there is nothing to run.
std::vector<C_check_finding> check_updater_present(const std::wstring& folder);

// The version record of update.exe in `folder`, where it has one, against this
// program's own version: the checker and the maker know the updater of their
// own build.
std::vector<C_check_finding> check_updater_version(const std::wstring& folder);

// Files and folders of `files` (paths below `source_folder`, as listed) whose
// names differ only in letter case: a case-sensitive folder holds both, Windows
// keeps one. One finding for each spelling after the first.
std::vector<C_check_finding> find_case_clashes(const std::wstring& source_folder, const std::vector<dir_entry>& files);

// Names of `rels` (paths of files below `folder`, and the folders above them)
// that Windows cannot give a file (device names) or holds as a name other than
// the one the game opens (decomposed Unicode). One finding per name.
std::vector<C_check_finding> find_unholdable_names(const std::wstring& folder, const std::vector<std::wstring>& rels);

// A path that lands in the players' installation (`rel`, named as `place`)
// so long that it leaves the installation folder's own path less than 100
// characters before Windows' limit of 260.
std::vector<C_check_finding> review_path_length(const std::wstring& place, const std::wstring& rel);
