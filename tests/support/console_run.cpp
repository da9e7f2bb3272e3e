#include "support/console_run.h"

#include "support/temp_dir.h"

namespace {

// Quoted as the runtime's argument parser reads it back.
std::wstring quote_argument(const std::wstring& arg)
{
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE inheritable_file(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

C_console_run run_console(const std::wstring& program, const std::vector<std::wstring>& args,
                          const std::wstring& working_dir, DWORD timeout_ms)
{
    C_console_run run;
    const C_temp_dir streams;
    const HANDLE output = inheritable_file(streams / L"stdout");
    const HANDLE errors = inheritable_file(streams / L"stderr");

    std::wstring command = quote_argument(program);
    for (const auto& arg : args) command += L" " + quote_argument(arg);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION process = {};
    run.started = CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                 working_dir.c_str(), &startup, &process) != FALSE;
    CloseHandle(output);
    CloseHandle(errors);
    if (run.started) {
        run.exited = WaitForSingleObject(process.hProcess, timeout_ms) == WAIT_OBJECT_0;
        if (!run.exited) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
        }
        GetExitCodeProcess(process.hProcess, &run.exit_code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    run.output = read_file(streams / L"stdout");
    run.errors = read_file(streams / L"stderr");
    return run;
}
