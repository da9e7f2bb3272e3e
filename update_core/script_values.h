#pragma once
#include <string>
#include <vector>

#include "update_core/script_parser.h"
#include "update_core/update_settings.h"

// A required value that the script leaves empty, with the updater's message for it.
struct C_missing_value {
    script_line_kind key;
    std::wstring message;
};

// Every required value that is empty, in the order the updater checks them
// (#REG_PATH, #UPDATE_TITLE, #GAME_TITLE); the updater reports the first.
std::vector<C_missing_value> missing_script_values(const C_update_settings& settings);
