#include "update/script_parser.h"

#include <vector>

#include "util/lines.h"
#include "util/pattern_match.h"
#include "util/text_cursor.h"

namespace {

const wchar_t* const SCRIPT_BLANKS = L" \t\n";

void parse_line(const std::wstring& line, C_update_settings& settings)
{
    C_text_cursor cursor(line, SCRIPT_BLANKS);
    // at_end leaves the cursor on the first character otherwise, so a key with
    // blanks before its "#" is not recognised.
    if (cursor.at_end()) return;
    if (match_pattern(cursor, L"//")) return;

    std::wstring value;
    if (match_pattern(cursor, L"#REG_PATH = %s", &value)) {
        settings.reg_path = value;
        return;
    }
    value.clear();
    if (match_pattern(cursor, L"#GAME_TITLE = %s", &value)) {
        settings.game_title = value;
        return;
    }
    value.clear();
    if (match_pattern(cursor, L"#UPDATE_TITLE = %s", &value)) {
        settings.update_title = value;
        return;
    }
    value.clear();
    if (match_pattern(cursor, L"#COPY_FILE = %s", &value)) settings.copy_files.push_back(value);
}

}  // namespace

void parse_update_script(const std::wstring& text, C_update_settings& settings)
{
    std::vector<std::wstring> lines;
    split_lines(text, lines);
    for (const auto& line : lines) parse_line(line, settings);
}
