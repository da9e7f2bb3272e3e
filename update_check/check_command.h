#pragma once
#include <string>

#include "update_check/check_findings.h"

// Exit status of the checker: the update would be applied (warnings allowed),
// it would not (an error), or the command line or its folder is wrong.
constexpr int CHECK_PASSED = 0;
constexpr int CHECK_FOUND_ERRORS = 1;
constexpr int CHECK_USAGE_ERROR = 2;

// How the findings are printed: a line each in the form compilers use and the
// summary, or one JSON object (--format=json) for a release's CI to read.
enum class report_format { text, json };

// --format's value, "text" or "json"; false for any other.
bool read_report_format(const std::wstring& value, report_format& format);

// Prints each finding on a line of its own, then the summary line; or, as JSON,
// the object of result_json.
void print_check_result(const C_check_result& result, report_format format = report_format::text);

// update_check.exe [FOLDER]: the whole command, from its arguments to its exit status.
int run_check_command(int argc, const wchar_t* const argv[]);
