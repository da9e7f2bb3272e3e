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

// Files and folders of `files` (paths below `source_folder`, as listed) whose
// names differ only in letter case: a case-sensitive folder holds both, Windows
// keeps one. One finding for each spelling after the first.
std::vector<C_check_finding> find_case_clashes(const std::wstring& source_folder, const std::vector<dir_entry>& files);
