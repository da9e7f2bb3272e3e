#include "update_make/make_command.h"

#include <windows.h>

#include <string>
#include <vector>

#include "program_version.h"
#include "update_check/check_command.h"
#include "update_core/reg_path_form.h"
#include "update_make/make_interrupt.h"
#include "update_make/update_maker.h"
#include "util/text/code_page_932.h"
#include "console/command_line.h"
#include "console/console_progress.h"
#include "console/console_text.h"
#include "console/json_text.h"
#include "util/fs/final_path.h"
#include "util/fs/folder_tree.h"
#include "util/fs/full_path.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"

namespace {

const wchar_t* const USAGE =
    L"Usage: update_make.exe OLD NEW OUT --reg-path P --game-title T --update-title U\n"
    L"                       [--exclude PATTERN]... [--updater FILE] [--keep-removed]\n"
    L"                       [--dry-run] [--strict] [--format=text|json] [--]\n"
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
    L"                    NEW (\"*\" any run of characters, \"?\" one): *.log; a PATTERN\n"
    L"                    ending in \\ or / is a folder with everything in it: save\\\n"
    L"  --updater FILE    the update.exe to ship; by default the one beside update_make.exe\n"
    L"  --keep-removed    removes nothing: players keep the files of OLD that NEW lacks\n"
    L"  --dry-run         compares and plans only: prints each entry with the files and\n"
    L"                    bytes it would ship, each file it would remove, and the\n"
    L"                    findings; writes nothing\n"
    L"  --strict          warnings count as errors: the exit status is 1 and OUT is not made\n"
    L"  --format=json     prints one JSON object instead: the findings (file, line,\n"
    L"                    severity, code, message), the summary's counts, whether OUT\n"
    L"                    was made\n"
    L"  --version         prints the program's name and version\n"
    L"  --                ends the options: what follows is OLD, NEW or OUT\n"
    L"\n"
    L"Options may stand anywhere, and --name=value is --name value.\n"
    L"\n"
    L"Files of OLD that NEW lacks get one #DELETE_FILE entry each, the --exclude\n"
    L"patterns applied, so update.exe removes them; files players made stay.\n"
    L"The update is checked as update_check.exe checks it, and becomes OUT only\n"
    L"without errors. Findings read FILE[:LINE]: error|warning: TEXT, then a summary;\n"
    L"progress goes to standard error (a line every few seconds where it is not a\n"
    L"console). Ctrl-C stops the make, removes what it made and leaves OUT as it was.\n"
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

// OUT as given, less the separators it ends in ("out\\" is "out").
std::wstring without_trailing_separators(const std::wstring& path)
{
    const std::size_t kept = path.find_last_not_of(L"\\/") + 1;
    // A drive's root keeps its separator: "C:\\" is not "C:".
    if (kept == 2 && path[1] == L':' && path.size() > 2) return path.substr(0, 3);
    return kept == 0 ? path : path.substr(0, kept);
}

// What is wrong with OUT, as a usage error; empty when nothing is.
std::wstring out_problem(const C_make_request& request)
{
    const std::wstring out = full_path(request.out_dir);
    // Only a root keeps the separator it ends in.
    if (out.empty() || out.back() == L'\\') return request.out_dir + L" is a drive's root; give a folder to make";
    const std::wstring parent = path_get_folder(out);
    const std::wstring out_final = final_path(out);
    // The current folder cannot be moved away, nor any folder above it.
    if (path_is_within(final_path(L"."), out_final)) {
        return request.out_dir + L" is the current folder or holds it; give a new folder beside it";
    }
    for (const auto* folder : {&request.old_dir, &request.new_dir}) {
        if (path_is_within(out_final, final_path(*folder))) return request.out_dir + L" lies inside " + *folder;
    }
    const path_kind out_kind = get_path_kind(out);
    if (out_kind == path_kind::file || (out_kind == path_kind::folder && !folder_is_empty(out))) {
        return request.out_dir + L" must not exist yet, or be empty";
    }
    if (get_path_kind(parent) != path_kind::folder) return L"no folder " + parent + L" to make " + request.out_dir + L" in";
    return std::wstring();
}

// What the make found; on a dry run each entry with what it carries and each
// file it removes first. A strict make that warnings stopped says so after the
// summary.
void print_make_result(const C_make_request& request, const C_make_result& result, report_format format)
{
    const bool held_back = request.strict && !request.dry_run && result.errors() == 0 && result.warnings() > 0;
    if (format == report_format::json) {
        std::vector<C_json_member> more{{L"made", result.made ? L"true" : L"false"},
                                        {L"dry_run", request.dry_run ? L"true" : L"false"}};
        if (request.dry_run) {
            std::wstring entries = L"[";
            for (const auto& shipped : result.entries) {
                entries += (entries.size() > 1 ? L",\n    " : L"\n    ") + std::wstring(L"{\"entry\": ") +
                           json_quote(shipped.entry) + L", \"files\": " + std::to_wstring(shipped.files) +
                           L", \"bytes\": " + std::to_wstring(shipped.bytes) + L"}";
            }
            more.push_back({L"entries", entries + (entries.size() > 1 ? L"\n  ]" : L"]")});
            std::wstring removed = L"[";
            for (const auto& rel : result.removed) {
                removed += (removed.size() > 1 ? L",\n    " : L"\n    ") + json_quote(rel);
            }
            more.push_back({L"removed", removed + (removed.size() > 1 ? L"\n  ]" : L"]")});
        }
        write_text(std_stream::output, result_json(result, more));
        return;
    }
    std::wstring text;
    if (request.dry_run) {
        for (const auto& shipped : result.entries) {
            text += L"would ship " + shipped.entry + L": " + std::to_wstring(shipped.files) +
                    (shipped.files == 1 ? L" file, " : L" files, ") + std::to_wstring(shipped.bytes) +
                    (shipped.bytes == 1 ? L" byte\n" : L" bytes\n");
        }
        for (const auto& rel : result.removed) text += L"would remove " + rel + L"\n";
    }
    for (const auto& finding : result.findings) text += finding_line(finding) + L"\n";
    text += summary_line(result);
    if (request.dry_run) text += L" (dry run: nothing was written)";
    if (held_back) text += L" (--strict: warnings count as errors, so nothing was made)";
    write_text(std_stream::output, text + L"\n");
}

}  // namespace

int run_make_command(int argc, const wchar_t* const argv[])
{
    const std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    const C_command_line line =
        read_command_line(args, {{L"--reg-path", true}, {L"--game-title", true}, {L"--update-title", true},
                                 {L"--exclude", true}, {L"--updater", true}, {L"--keep-removed", false},
                                 {L"--dry-run", false}, {L"--strict", false}, {L"--format", true}});
    if (line.help) {
        write_text(std_stream::output, USAGE);
        return CHECK_PASSED;
    }
    if (line.version) {
        write_text(std_stream::output, L"update_make.exe " UPDATER_VERSION_TEXT L"\n");
        return CHECK_PASSED;
    }
    if (!line.problem.empty()) return usage_error(line.problem);

    C_make_request request;
    report_format format = report_format::text;
    for (const auto& option : line.options) {
        const std::wstring& name = option.first;
        if (name == L"--reg-path") request.reg_path = option.second;
        else if (name == L"--game-title") request.game_title = option.second;
        else if (name == L"--update-title") request.update_title = option.second;
        else if (name == L"--updater") request.updater = option.second;
        else if (name == L"--exclude") request.excludes.push_back(option.second);
        else if (name == L"--keep-removed") request.keep_removed = true;
        else if (name == L"--dry-run") request.dry_run = true;
        else if (name == L"--strict") request.strict = true;
        else if (name == L"--format" && !read_report_format(option.second, format)) {
            return usage_error(L"--format takes text or json, not " + option.second);
        }
    }
    // A folder whose name begins with "-" is given after "--", or as .\-name.
    if (line.operands.size() != 3) return usage_error(L"OLD, NEW and OUT are required, and nothing else");
    request.old_dir = line.operands[0];
    request.new_dir = line.operands[1];
    request.out_dir = without_trailing_separators(line.operands[2]);
    for (const auto& problem : {value_problem(L"--reg-path", request.reg_path),
                                value_problem(L"--game-title", request.game_title),
                                value_problem(L"--update-title", request.update_title)}) {
        if (!problem.empty()) return usage_error(problem);
    }
    const std::wstring reg_path_form = reg_path_problem(request.reg_path);
    if (!reg_path_form.empty()) return usage_error(L"--reg-path " + request.reg_path + L" " + reg_path_form);
    for (const auto& pattern : request.excludes) {
        if (pattern.empty()) return usage_error(L"--exclude needs a pattern");
    }

    for (const auto* folder : {&request.old_dir, &request.new_dir}) {
        if (get_path_kind(*folder) != path_kind::folder) return usage_error(L"no folder " + *folder);
    }
    const std::wstring out_wrong = out_problem(request);
    if (!out_wrong.empty()) return usage_error(out_wrong);
    if (request.updater.empty()) request.updater = program_folder() + L"\\update.exe";
    if (get_path_kind(request.updater) != path_kind::file) {
        return usage_error(L"no update.exe to ship at " + request.updater + L" (give one with --updater)");
    }

    catch_make_interrupt();
    C_progress_line progress;
    const C_make_result result = make_update(request, progress);
    make_finished();
    if (result.interrupted) {
        write_text(std_stream::error, L"update_make: interrupted; nothing was made, and " + request.out_dir +
                                          L" is as it was\n");
        return static_cast<int>(STATUS_CONTROL_C_EXIT);
    }
    print_make_result(request, result, format);
    const bool failed = result.errors() > 0 || (request.strict && result.warnings() > 0);
    return failed ? CHECK_FOUND_ERRORS : CHECK_PASSED;
}
