#include "update_check/script_review.h"

#include <utility>

#include "update_core/script_parser.h"
#include "util/text/lines.h"

namespace {

const wchar_t* const SCRIPT_FILE = L"update.ini";
const wchar_t FULL_WIDTH_HASH = L'\xFF03';
const wchar_t FULL_WIDTH_SPACE = L'\x3000';
const wchar_t FULL_WIDTH_EQUALS = L'\xFF1D';

const script_line_kind KEY_KINDS[] = {script_line_kind::reg_path, script_line_kind::game_title,
                                      script_line_kind::update_title, script_line_kind::copy_file,
                                      script_line_kind::delete_file};

bool is_key(script_line_kind kind)
{
    return script_key_name(kind) != nullptr;
}

// Upper-cased ASCII without underscores: "#copyfile" and "#Copy_File" both
// come out as "#COPYFILE".
std::wstring loose_key(const std::wstring& name)
{
    std::wstring loose;
    for (wchar_t c : name) {
        if (c == L'_') continue;
        loose += (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 0x20) : c;
    }
    return loose;
}

bool replace_each(std::wstring& text, wchar_t from, wchar_t to)
{
    bool replaced = false;
    for (auto& c : text) {
        if (c == from) {
            c = to;
            replaced = true;
        }
    }
    return replaced;
}

// What keeps a line with a known key name from matching "<key> = %s".
std::wstring value_problem(const std::wstring& line, std::size_t after_name)
{
    const std::size_t equals = line.find_first_not_of(L" \t", after_name);
    if (equals == std::wstring::npos || line[equals] != L'=') return L"no \"=\" after the key";
    const std::size_t quote = line.find_first_not_of(L" \t", equals + 1);
    if (quote == std::wstring::npos || line[quote] != L'"') return L"the value is not in double quotes";
    return L"the value has no closing double quote";
}

std::wstring key_problem(const std::wstring& line)
{
    const std::size_t name_end = std::min(line.find_first_of(L" \t=\""), line.size());
    const std::wstring name = line.substr(0, name_end);
    for (script_line_kind kind : KEY_KINDS) {
        if (name == script_key_name(kind)) return value_problem(line, name_end);
    }
    for (script_line_kind kind : KEY_KINDS) {
        if (loose_key(name) == loose_key(script_key_name(kind))) {
            return L"\"" + name + L"\" is not a key (" + script_key_name(kind) + L"?)";
        }
    }
    return L"\"" + name + L"\" is not a key";
}

C_check_finding script_finding(finding_kind kind, int line, std::wstring text)
{
    return finding_on(kind, SCRIPT_FILE, line, std::move(text));
}

// What follows a key line's value, less the blanks and the carriage return
// that end every line of a script saved with CR LF.
std::wstring text_after_value(const std::wstring& line, std::size_t value_end)
{
    const std::size_t start = line.find_first_not_of(L" \t\r", value_end);
    if (start == std::wstring::npos) return std::wstring();
    return line.substr(start, line.find_last_not_of(L" \t\r") + 1 - start);
}

}  // namespace

std::wstring why_key_line_is_ignored(const std::wstring& line)
{
    const std::size_t start = line.find_first_not_of(std::wstring(L" \t") + FULL_WIDTH_SPACE);
    if (start == std::wstring::npos || (line[start] != L'#' && line[start] != FULL_WIDTH_HASH)) return {};

    std::wstring reasons;
    const auto add = [&reasons](const wchar_t* reason) {
        if (!reasons.empty()) reasons += L", ";
        reasons += reason;
    };
    std::wstring repaired = line.substr(start);
    if (start > 0) add(L"blanks before \"#\"");
    if (repaired[0] == FULL_WIDTH_HASH) {
        repaired[0] = L'#';
        add(L"full-width \"＃\"");
    }
    // Only before the value: inside the quotes these characters are part of it.
    const std::size_t quote = std::min(repaired.find(L'"'), repaired.size());
    std::wstring head = repaired.substr(0, quote);
    if (replace_each(head, FULL_WIDTH_SPACE, L' ')) add(L"full-width space around \"=\"");
    if (replace_each(head, FULL_WIDTH_EQUALS, L'=')) add(L"full-width \"＝\"");
    repaired = head + repaired.substr(quote);

    // Once the look-alikes are mended the line may read as a key line after all;
    // otherwise the key or its value is wrong as well.
    if (reasons.empty() || !is_key(read_script_line(repaired).kind)) add(key_problem(repaired).c_str());
    return reasons;
}

C_script_review review_script(const std::wstring& text)
{
    C_script_review review;
    std::vector<std::wstring> lines;
    split_lines(text, lines);
    int number = 0;
    for (const auto& line : lines) {
        ++number;
        C_script_line read = read_script_line(line);
        if (script_key_name(read.kind)) {
            const std::wstring after = text_after_value(line, read.value_end);
            if (!after.empty()) {
                review.findings.push_back(script_finding(finding_kind::text_after_value, number,
                                                         L"the updater takes \"" + read.value +
                                                             L"\" and ignores what follows its closing quote: " + after));
            }
        }
        int* given_on = nullptr;
        std::wstring* value = nullptr;
        switch (read.kind) {
        case script_line_kind::reg_path:
            given_on = &review.reg_path_line;
            value = &review.values.reg_path;
            break;
        case script_line_kind::game_title:
            given_on = &review.game_title_line;
            value = &review.values.game_title;
            break;
        case script_line_kind::update_title:
            given_on = &review.update_title_line;
            value = &review.values.update_title;
            break;
        case script_line_kind::copy_file:
            review.values.copy_files.push_back(std::move(read.value));
            review.entry_lines.push_back(number);
            break;
        case script_line_kind::delete_file:
            review.values.delete_files.push_back(std::move(read.value));
            review.delete_lines.push_back(number);
            break;
        case script_line_kind::other: {
            const std::wstring reason = why_key_line_is_ignored(line);
            if (!reason.empty()) {
                review.findings.push_back(
                    script_finding(finding_kind::line_ignored, number, L"ignored by the updater: " + reason));
            }
            break;
        }
        default: break;
        }
        if (!given_on) continue;
        if (*given_on) {
            review.findings.push_back(script_finding(finding_kind::key_repeated, number,
                                                     std::wstring(script_key_name(read.kind)) + L" given again (line " +
                                                         std::to_wstring(*given_on) + L"); the updater takes this one"));
        }
        *given_on = number;
        *value = std::move(read.value);
    }
    return review;
}
