#pragma once
#include <string>

#include "update_core/update_settings.h"

// A value in double quotes as the script's matcher reads it back: a backslash
// and a double quote each get a backslash before them.
std::wstring quote_script_value(const std::wstring& value);

// The text of an update script: "// " and the comment, #REG_PATH, #GAME_TITLE,
// #UPDATE_TITLE, one #COPY_FILE line per entry of `values.copy_files`, then one
// #DELETE_FILE line per entry of `values.delete_files`, every line ended by CR
// LF. Values must hold no line feed, the only character the script cannot carry
// inside quotes.
std::wstring compose_update_script(const std::wstring& comment, const C_update_settings& values);
