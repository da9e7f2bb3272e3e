#include "update_core/script_parser.h"

#include <utility>
#include <vector>

#include "util/text/lines.h"
#include "util/text/pattern_match.h"
#include "util/text/text_cursor.h"

namespace {

const wchar_t* const SCRIPT_BLANKS = L" \t\n";

struct C_key {
    const wchar_t* name;
    const wchar_t* pattern;
    script_line_kind kind;
};

// Tried in this order; the first that matches decides.
const C_key KEYS[] = {
    {L"#REG_PATH", L"#REG_PATH = %s", script_line_kind::reg_path},
    {L"#GAME_TITLE", L"#GAME_TITLE = %s", script_line_kind::game_title},
    {L"#UPDATE_TITLE", L"#UPDATE_TITLE = %s", script_line_kind::update_title},
    {L"#COPY_FILE", L"#COPY_FILE = %s", script_line_kind::copy_file},
    {L"#DELETE_FILE", L"#DELETE_FILE = %s", script_line_kind::delete_file},
};

}  // namespace

const wchar_t* script_key_name(script_line_kind kind)
{
    for (const auto& key : KEYS) {
        if (key.kind == kind) return key.name;
    }
    return nullptr;
}

C_script_line read_script_line(const std::wstring& line)
{
    C_script_line result;
    C_text_cursor cursor(line, SCRIPT_BLANKS);
    // at_end leaves the cursor on the first character otherwise, so a key with
    // blanks before its "#" is not recognised.
    if (cursor.at_end()) {
        result.kind = script_line_kind::blank;
        return result;
    }
    if (match_pattern(cursor, L"//")) {
        result.kind = script_line_kind::comment;
        return result;
    }
    for (const auto& key : KEYS) {
        std::wstring value;
        if (match_pattern(cursor, key.pattern, &value)) {
            result.kind = key.kind;
            result.value = std::move(value);
            result.value_end = static_cast<std::size_t>(cursor.cur - line.data());
            return result;
        }
    }
    return result;
}

void parse_update_script(const std::wstring& text, C_update_settings& settings)
{
    std::vector<std::wstring> lines;
    split_lines(text, lines);
    for (const auto& line : lines) {
        C_script_line read = read_script_line(line);
        switch (read.kind) {
        case script_line_kind::reg_path: settings.reg_path = std::move(read.value); break;
        case script_line_kind::game_title: settings.game_title = std::move(read.value); break;
        case script_line_kind::update_title: settings.update_title = std::move(read.value); break;
        case script_line_kind::copy_file: settings.copy_files.push_back(std::move(read.value)); break;
        case script_line_kind::delete_file: settings.delete_files.push_back(std::move(read.value)); break;
        default: break;
        }
    }
}
