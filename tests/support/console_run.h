#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

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

// The same run, started and left running: a test can act on the process (send
// it Ctrl-C, kill it) before it collects the result.
class C_console_process {
public:
    // With `share_console` the program runs on this process's console, where
    // GenerateConsoleCtrlEvent reaches it; otherwise on none.
    C_console_process(const std::wstring& program, const std::vector<std::wstring>& args,
                      const std::wstring& working_dir, bool share_console = false);
    ~C_console_process();
    C_console_process(const C_console_process&) = delete;
    C_console_process& operator=(const C_console_process&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    bool running() const;
    void kill();
    // Waits for the end, killing the program after `timeout_ms`, and reads what it wrote.
    C_console_run finish(DWORD timeout_ms = 30000);

private:
    C_temp_dir streams_;  // the two output files
    PROCESS_INFORMATION process_ = {};
};
