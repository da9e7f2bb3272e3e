#include "update_make/make_command.h"

#include <string>
#include <vector>

#include "update_check/check_command.h"
#include "update_make/update_maker.h"
#include "util/code_page_932.h"
#include "util/console_progress.h"
#include "util/console_text.h"
#include "util/folder_tree.h"
#include "util/full_path.h"
#include "util/path.h"
#include "util/path_kind.h"

namespace {

const wchar_t* const USAGE =
    L"Usage: update_make.exe OLD NEW OUT --reg-path P --game-title T --update-title U\n"
    L"                       [--exclude PATTERN]... [--updater FILE]\n"
    L"\n"
    L"Makes the update that takes a game installed as the release folder OLD to the\n"
    L"release folder NEW. OUT must not exist yet, or be empty; it receives update.ini\n"
    L"(code page 932), gamedata (every file of NEW that OLD lacks or that differs)\n"
    L"and update.exe.\n"
    L"\n"
    L"  --reg-path P      the game's registry key below HKEY_LOCAL_MACHINE\\Software\n"
    L"  --game-title T    the game's title\n"
    L"  --update-title U  the update's title, the caption of every box update.exe shows\n"
    L"  --exclude PATTERN leaves out the paths that fit PATTERN, relative to OLD and\n"
    L"                    NEW (\"*\" any run of characters, \"?\" one): save\\* or *.log\n"
    L"  --updater FILE    the update.exe to ship; by default the one beside update_make.exe\n"
    L"\n"
    L"Files of OLD that NEW lacks are listed as warnings: update.exe deletes nothing.\n"
    L"The update is checked as update_check.exe checks it, and becomes OUT only\n"
    L"without errors. Findings read FILE[:LINE]: error|warning: TEXT, then a summary.\n"
    L"\n"
    L"Exit status: 0 the update is made (warnings allowed), 1 errors, 2 a usage error.\n";

int usage_error(const std::wstring& problem)
{
    write_text(std_stream::error, L"update_make: " + problem + L"\n\nRun update_make.exe --help for the usage.\n");
    return CHECK_USAGE_ERROR;
}

// A script value must be spelt in code page 932 and stay on its line.
std::wstring value_problem(const wchar_t* option, const std::wstring& value)
{
    if (value.empty()) return std::wstring(option) + L" is required";
    for (wchar_t ch : value) {
        if (ch < 0x20 || ch == 0x7F) return std::wstring(option) + L" holds a control character";
    }
    std::string ignored;
    if (!spell_in_code_page_932(value, ignored)) {
        return std::wstring(option) + L" " + value + L": code page 932 cannot spell it";
    }
    return std::wstring();
}

}  // namespace

int run_make_command(int argc, const wchar_t* const argv[])
{
    const std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    if (args.size() == 1 && (args[0] == L"--help" || args[0] == L"-h" || args[0] == L"/?")) {
        write_text(std_stream::output, USAGE);
        return CHECK_PASSED;
    }

    C_make_request request;
    std::vector<std::wstring> folders;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        std::wstring* value = nullptr;
        if (arg == L"--reg-path") value = &request.reg_path;
        else if (arg == L"--game-title") value = &request.game_title;
        else if (arg == L"--update-title") value = &request.update_title;
        else if (arg == L"--updater") value = &request.updater;
        else if (arg == L"--exclude") value = &request.excludes.emplace_back();
        else if (arg.size() > 1 && arg[0] == L'-') return usage_error(L"unknown option " + arg);
        else folders.push_back(arg);
        if (value) {
            if (++i == args.size()) return usage_error(arg + L" needs a value");
            *value = args[i];
        }
    }
    // A folder whose name begins with "-" can still be given as .\-name.
    if (folders.size() != 3) return usage_error(L"OLD, NEW and OUT are required, and nothing else");
    request.old_dir = folders[0];
    request.new_dir = folders[1];
    request.out_dir = folders[2];
    for (const auto& problem : {value_problem(L"--reg-path", request.reg_path),
                                value_problem(L"--game-title", request.game_title),
                                value_problem(L"--update-title", request.update_title)}) {
        if (!problem.empty()) return usage_error(problem);
    }
    for (const auto& pattern : request.excludes) {
        if (pattern.empty()) return usage_error(L"--exclude needs a pattern");
    }

    for (const auto* folder : {&request.old_dir, &request.new_dir}) {
        if (get_path_kind(*folder) != path_kind::folder) return usage_error(L"no folder " + *folder);
    }
    const std::wstring out = full_path(request.out_dir);
    const path_kind out_kind = get_path_kind(out);
    if (out_kind == path_kind::file || (out_kind == path_kind::folder && !folder_is_empty(out))) {
        return usage_error(request.out_dir + L" must not exist yet, or be empty");
    }
    if (get_path_kind(path_get_folder(out)) != path_kind::folder) {
        return usage_error(L"no folder " + path_get_folder(out) + L" to make " + request.out_dir + L" in");
    }
    for (const auto* folder : {&request.old_dir, &request.new_dir}) {
        if (path_is_within(out, full_path(*folder))) return usage_error(request.out_dir + L" lies inside " + *folder);
    }
    if (request.updater.empty()) request.updater = program_folder() + L"\\update.exe";
    if (get_path_kind(request.updater) != path_kind::file) {
        return usage_error(L"no update.exe to ship at " + request.updater + L" (give one with --updater)");
    }

    C_progress_line progress;
    const C_check_result result = make_update(request, progress);
    print_check_result(result);
    return result.errors() == 0 ? CHECK_PASSED : CHECK_FOUND_ERRORS;
}
