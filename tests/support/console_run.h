#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One run of a console program with its standard output and error redirected
// to files, as a script or CI job would run it.
struct C_console_run {
    bool started = false;
    bool exited = false;  // on its own, within the time limit; killed otherwise
    DWORD exit_code = 0;
    std::string output;   // the bytes it wrote, exactly
    std::string errors;
};

C_console_run run_console(const std::wstring& program, const std::vector<std::wstring>& args,
                          const std::wstring& working_dir, DWORD timeout_ms = 30000);
