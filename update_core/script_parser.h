#pragma once
#include <cstddef>
#include <string>

#include "update_core/update_settings.h"

// What one line of the script is to the updater. Key lines carry their value.
enum class script_line_kind { blank, comment, reg_path, game_title, update_title, copy_file, delete_file, other };

struct C_script_line {
    script_line_kind kind = script_line_kind::other;
    std::wstring value;
    // Key lines: where the value's closing quote ends; the updater reads no further.
    std::size_t value_end = 0;
};

// "#REG_PATH", "#GAME_TITLE", "#UPDATE_TITLE", "#COPY_FILE" or "#DELETE_FILE"
// for a key line's kind; null for the other kinds.
const wchar_t* script_key_name(script_line_kind kind);

// Recognises one line (without its line feed) as the updater reads it: blanks
// only, a comment ("//" in the first column), one of the five key lines with a
// quoted value, or anything else, which the updater passes over silently.
C_script_line read_script_line(const std::wstring& line);

// Reads the key lines of a decoded update script into the script values of
// `settings`: a later #REG_PATH, #GAME_TITLE or #UPDATE_TITLE replaces an earlier
// one, #COPY_FILE and #DELETE_FILE entries are appended in order. Comment lines ("//" in the first
// column), blank lines and anything unrecognised are passed over silently.
void parse_update_script(const std::wstring& text, C_update_settings& settings);
