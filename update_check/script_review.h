#pragma once
#include <string>
#include <vector>

#include "update_check/check_findings.h"
#include "update_core/update_settings.h"

// A decoded update script read line by line as the updater reads it, with where
// each value came from and what the updater would pass over without a word.
struct C_script_review {
    C_update_settings values;  // the script values exactly as the updater takes them
    // The line that gave each value (the last one wins), 0 when none did.
    int reg_path_line = 0;
    int game_title_line = 0;
    int update_title_line = 0;
    std::vector<int> entry_lines;   // the line of each #COPY_FILE entry, in order
    std::vector<int> delete_lines;  // the line of each #DELETE_FILE entry, in order
    // Warnings, by line: lines that look like key lines but are ignored, and keys
    // given again.
    std::vector<C_check_finding> findings;
};

C_script_review review_script(const std::wstring& text);

// Why the updater ignores a line that starts with "#" or "＃" (blanks before it
// allowed); empty for a line that is no key line at all. The line itself must
// not be a key line.
std::wstring why_key_line_is_ignored(const std::wstring& line);
