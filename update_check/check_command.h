#pragma once
#include "update_check/check_findings.h"

// Exit status of the checker: the update would be applied (warnings allowed),
// it would not (an error), or the command line or its folder is wrong.
constexpr int CHECK_PASSED = 0;
constexpr int CHECK_FOUND_ERRORS = 1;
constexpr int CHECK_USAGE_ERROR = 2;

// Prints each finding on a line of its own, then the summary line.
void print_check_result(const C_check_result& result);

// update_check.exe [FOLDER]: the whole command, from its arguments to its exit status.
int run_check_command(int argc, const wchar_t* const argv[]);
