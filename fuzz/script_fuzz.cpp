// Feeds arbitrary text to the script parser (and its #DELETE_FILE entries to the
// updater's check of their form), arbitrary pattern and text pairs to
// the matcher, arbitrary step sequences to the cursor and arbitrary strings to the
// path and text helpers. Texts live in buffers of exactly their own length, so a
// read one past the end is caught by AddressSanitizer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "update_check/script_review.h"
#include "update_core/delete_entry_form.h"
#include "update_core/reg_path_form.h"
#include "update_core/script_parser.h"
#include "update_core/update_settings.h"
#include "update_core/work_folder.h"
#include "update_make/script_writer.h"
#include "console/command_line.h"
#include "console/json_text.h"
#include "util/fs/entry_path.h"
#include "util/text/lines.h"
#include "util/fs/path.h"
#include "util/text/pattern_match.h"
#include "util/text/text.h"
#include "util/text/text_cursor.h"
#include "console/wildcard.h"

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

// Bytes become code units one by one, so that ASCII text stays easy to reach; the
// byte 0xFF takes the next two bytes as one 16-bit code unit.
std::wstring decode(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8));
            i += 2;
        } else {
            text += static_cast<wchar_t>(data[i]);
        }
    }
    return text;
}

// A heap copy without a terminator or any slack after it.
struct C_exact_text {
    explicit C_exact_text(const std::wstring& text)
        : size(text.size()), data(new wchar_t[text.size()])
    {
        text.copy(data.get(), size);
    }
    const wchar_t* begin() const { return data.get(); }
    const wchar_t* end() const { return data.get() + size; }
    std::size_t size;
    std::unique_ptr<wchar_t[]> data;
};

const wchar_t* const blank_sets[] = {L" \t\n", L"", L" ", L"%\"\\"};

template <class... Outputs>
void try_match(const C_exact_text& text, const std::wstring& blanks, std::wstring_view pattern,
               Outputs*... outputs)
{
    C_text_cursor cursor(text.begin(), text.end(), blanks);
    if (match_pattern(cursor, pattern, outputs...)) {
        check(cursor.cur >= text.begin() && cursor.cur <= text.end());
    } else {
        check(cursor.cur == text.begin());
    }
    check(cursor.end == text.end());
}

void fuzz_matcher(const std::wstring& input, const std::wstring& blanks)
{
    const auto split = input.find(L'\x01');
    const std::wstring pattern_text = input.substr(0, split);
    const std::wstring line = split == std::wstring::npos ? std::wstring() : input.substr(split + 1);
    const C_exact_text pattern(pattern_text);
    const C_exact_text text(line);
    const std::wstring_view view(pattern.begin(), pattern.size);

    std::int32_t i1 = 0, i2 = 0;
    std::int64_t l1 = 0;
    std::wstring s1, s2, s3;
    try_match(text, blanks, view);
    try_match(text, blanks, view, &s1);
    try_match(text, blanks, view, &i1, &s1, &l1);
    try_match(text, blanks, view, &s1, &s2, &s3, &i1, &l1, &i2);
    try_match(text, blanks, view, &l1, &i1, &i2, &s1);
}

void fuzz_cursor(const std::wstring& input, const std::wstring& blanks)
{
    // The first units choose the steps, the rest is the text they run over.
    const std::size_t steps = input.empty() ? 0 : input[0] % 16;
    const std::size_t first = input.empty() ? 0 : 1;
    const std::size_t text_start = std::min(input.size(), first + steps);
    const C_exact_text text(input.substr(text_start));
    C_text_cursor cursor(text.begin(), text.end(), blanks);
    for (std::size_t i = first; i < text_start; ++i) {
        const wchar_t* const before = cursor.cur;
        bool answer = false;
        wchar_t ch = 0;
        std::int32_t number = 0;
        std::int64_t wide = 0;
        std::wstring quoted = L"kept";
        switch (input[i] % 8) {
        case 0: answer = cursor.skip_blanks(); check(answer == (cursor.cur != cursor.end)); answer = true; break;
        case 1: answer = cursor.expect_blank(); break;
        case 2: answer = cursor.at_end(); if (answer) check(cursor.cur == cursor.end); break;
        case 3: answer = cursor.expect_char(input[i] / 8 % 2 ? L'"' : L'a'); break;
        case 4: answer = cursor.next_char(ch); if (!answer) check(ch == 0); break;
        case 5: answer = cursor.read_int(number); break;
        case 6: answer = cursor.read_int64(wide); break;
        default: answer = cursor.read_quoted(quoted); if (!answer) check(quoted == L"kept"); break;
        }
        if (!answer) check(cursor.cur == before);
        check(cursor.cur >= text.begin() && cursor.cur <= text.end() && cursor.end == text.end());
    }
}

void fuzz_script(const std::wstring& text)
{
    C_update_settings settings;
    parse_update_script(text, settings);
    std::vector<std::wstring> lines;
    split_lines(text, lines);
    check(settings.copy_files.size() + settings.delete_files.size() <= lines.size());
    check(settings.exe_dir.empty() && settings.source_dir.empty());

    // The checker's reading of the script must be the updater's, line for line.
    const C_script_review review = review_script(text);
    check(review.values.reg_path == settings.reg_path && review.values.game_title == settings.game_title &&
          review.values.update_title == settings.update_title && review.values.copy_files == settings.copy_files &&
          review.values.delete_files == settings.delete_files);
    check(review.entry_lines.size() == settings.copy_files.size());
    check(review.delete_lines.size() == settings.delete_files.size());
    for (const auto& finding : review.findings) {
        check(finding.line >= 1 && static_cast<std::size_t>(finding.line) <= lines.size());
        check(!finding_line(finding).empty());
    }

    // What the maker writes from these values reads back as the same values.
    C_update_settings again;
    parse_update_script(compose_update_script(L"comment", settings), again);
    check(again.reg_path == settings.reg_path && again.game_title == settings.game_title &&
          again.update_title == settings.update_title && again.copy_files == settings.copy_files &&
          again.delete_files == settings.delete_files);

    // A removal the updater accepts by its text names a file inside the
    // installation, outside its work folder.
    for (const auto& entry : settings.delete_files) {
        if (delete_entry_form_of(entry) != delete_entry_form::names_a_file) continue;
        check(!entry_is_unsafe(entry) && !lands_in_work_folder(entry));
        check(entry.find_first_not_of(L"./\\") != std::wstring::npos);
    }
}

void fuzz_helpers(const std::wstring& input)
{
    std::vector<std::wstring> lines;
    split_lines(input, lines);
    std::wstring joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? L"\n" : L"") + lines[i];
    check(joined == input);

    check(input.compare(0, path_get_folder(input).size(), path_get_folder(input)) == 0);
    const std::wstring name = path_get_file_name(input);
    check(name.size() <= input.size() && input.compare(input.size() - name.size(), name.size(), name) == 0);
    const std::wstring stem = path_erase_extension(input);
    const std::wstring extension = path_get_extension(input);
    check(stem == input || stem + L"." + extension == input);
    check(to_lower_ascii(input).size() == input.size());

    // Either separator counts the same, and nothing made safe by what follows it.
    const bool unsafe = entry_is_unsafe(input);
    check(entry_to_relative_path(input).size() == input.size());
    check(entry_is_unsafe(entry_to_relative_path(input)) == unsafe);
    check(entry_is_unsafe(input + L"/..") && entry_is_unsafe(L"..\\" + input));
    if (unsafe) check(entry_is_unsafe(input + L"\\x"));

    const std::wstring from = lines.size() > 1 ? lines[1] : std::wstring();
    const std::wstring to = lines.size() > 2 ? lines[2] : std::wstring(L"-");
    const std::wstring replaced = replace_all(lines[0], from, to);
    if (from.empty()) check(replaced == lines[0]);

    // Wildcards: any text fits "*" and itself, and "*" before and after a text
    // without wildcards finds it inside any text that holds it, letter case and
    // the kind of slash aside.
    check(wildcard_match(L"*", input) && wildcard_match(lines[0], lines[0]));
    if (lines.size() > 1 && lines[1].find_first_of(L"*?") == std::wstring::npos) {
        const auto fold = [](const std::wstring& text) { return replace_all(to_lower_ascii(text), L"/", L"\\"); };
        check(wildcard_match(L"*" + lines[1] + L"*", lines[0]) == (fold(lines[0]).find(fold(lines[1])) != std::wstring::npos));
    }
    // A pattern that ends in a separator names folders only.
    check(!pattern_fits(lines[0] + L"\\", input, false));
    if (lines[0].empty() || (lines[0].back() != L'\\' && lines[0].back() != L'/')) {
        check(pattern_fits(lines[0], input, true) == pattern_fits(lines[0], input, false));
    }

    // A registry path's problem always names the key the updater opens.
    const std::wstring problem = reg_path_problem(input);
    if (!problem.empty()) check(problem.find(L"HKEY_LOCAL_MACHINE\\Software\\" + input) != std::wstring::npos);

    // Every argument is an operand, an option, its value, help or version, the
    // "--" that ends the options, or a problem.
    const C_command_line line = read_command_line(lines, {{L"--value", true}, {L"--flag", false}});
    const std::size_t end_of_options = std::find(lines.begin(), lines.end(), L"--") != lines.end() ? 1 : 0;
    check(line.operands.size() + line.options.size() + end_of_options <= lines.size());
    if (line.options.empty() && line.operands.size() + end_of_options < lines.size() && !line.help && !line.version) {
        check(!line.problem.empty());
    }

    // JSON text: in quotes, with no control character left as it is.
    const std::wstring json = json_quote(input);
    check(json.size() >= 2 && json.front() == L'"' && json.back() == L'"');
    for (wchar_t c : json) check(c >= 0x20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::wstring input = decode(data + 1, size - 1);
    const std::wstring blanks = blank_sets[(mode >> 2) % 4];
    switch (mode % 4) {
    case 0: fuzz_script(input); break;
    case 1: fuzz_matcher(input, blanks); break;
    case 2: fuzz_cursor(input, blanks); break;
    default: fuzz_helpers(input); break;
    }
    return 0;
}
