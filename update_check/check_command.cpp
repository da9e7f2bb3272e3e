#include "update_check/check_command.h"

#include <windows.h>

#include <string>
#include <vector>

#include "program_version.h"
#include "update_check/update_check.h"
#include "console/command_line.h"
#include "console/console_text.h"
#include "util/fs/full_path.h"
#include "util/fs/path_kind.h"

namespace {

const wchar_t* const USAGE =
    L"Usage: update_check.exe [--strict] [--format=text|json] [--] [FOLDER]\n"
    L"\n"
    L"Checks an update before it ships. FOLDER holds update.ini and gamedata; without\n"
    L"it, the folder of update_check.exe is checked, as update.exe reads its own.\n"
    L"Prints one line per finding (FILE:LINE: error|warning: TEXT), then a summary.\n"
    L"Errors are what update.exe would stop at or refuse, with its own message where\n"
    L"it shows one; warnings are what it would pass over without a word.\n"
    L"\n"
    L"  --strict       warnings count as errors for the exit status, as a release's CI wants\n"
    L"  --format=json  prints one JSON object instead: the findings (file, line, severity,\n"
    L"                 code, message) and the summary's counts\n"
    L"  --version      prints the program's name and version\n"
    L"  --             ends the options: what follows is FOLDER, whatever it begins with\n"
    L"\n"
    L"Exit status: 0 the update would be applied (warnings allowed), 1 it would not,\n"
    L"2 a usage error or no such FOLDER.\n";

int usage_error(const std::wstring& problem, bool show_usage = true)
{
    write_text(std_stream::error, L"update_check: " + problem + L"\n" + (show_usage ? L"\n" + std::wstring(USAGE) : L""));
    return CHECK_USAGE_ERROR;
}

}  // namespace

bool read_report_format(const std::wstring& value, report_format& format)
{
    if (value == L"text") {
        format = report_format::text;
    } else if (value == L"json") {
        format = report_format::json;
    } else {
        return false;
    }
    return true;
}

void print_check_result(const C_check_result& result, report_format format)
{
    if (format == report_format::json) {
        write_text(std_stream::output, result_json(result));
        return;
    }
    std::wstring text;
    for (const auto& finding : result.findings) text += finding_line(finding) + L"\n";
    write_text(std_stream::output, text + summary_line(result) + L"\n");
}

int run_check_command(int argc, const wchar_t* const argv[])
{
    const std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    const C_command_line line = read_command_line(args, {{L"--strict", false}, {L"--format", true}});
    if (line.help) {
        write_text(std_stream::output, USAGE);
        return CHECK_PASSED;
    }
    if (line.version) {
        write_text(std_stream::output, L"update_check.exe " UPDATER_VERSION_TEXT L"\n");
        return CHECK_PASSED;
    }
    if (!line.problem.empty()) return usage_error(line.problem);
    if (line.operands.size() > 1) return usage_error(L"one FOLDER at most");
    bool strict = false;
    report_format format = report_format::text;
    for (const auto& option : line.options) {
        if (option.first == L"--strict") strict = true;
        if (option.first == L"--format" && !read_report_format(option.second, format)) {
            return usage_error(L"--format takes text or json, not " + option.second);
        }
    }

    const std::wstring folder = line.operands.empty() ? program_folder() : line.operands[0];
    if (get_path_kind(folder) != path_kind::folder) return usage_error(L"no folder " + folder, false);

    const C_check_result result = check_update_folder(folder);
    print_check_result(result, format);
    const bool failed = result.errors() > 0 || (strict && result.warnings() > 0);
    return failed ? CHECK_FOUND_ERRORS : CHECK_PASSED;
}
