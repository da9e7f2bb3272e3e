#pragma once
#include <string>

#include "update/update_settings.h"

// Reads the key lines of a decoded update script into the script values of
// `settings`: a later #REG_PATH, #GAME_TITLE or #UPDATE_TITLE replaces an earlier
// one, #COPY_FILE entries are appended in order. Comment lines ("//" in the first
// column), blank lines and anything unrecognised are passed over silently.
void parse_update_script(const std::wstring& text, C_update_settings& settings);
