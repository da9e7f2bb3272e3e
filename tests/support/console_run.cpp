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

C_console_process::C_console_process(const std::wstring& program, const std::vector<std::wstring>& args,
                                     const std::wstring& working_dir, bool share_console)
{
    const HANDLE output = inheritable_file(streams_ / L"stdout");
    const HANDLE errors = inheritable_file(streams_ / L"stderr");
    std::wstring command = quote_argument(program);
    for (const auto& arg : args) command += L" " + quote_argument(arg);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output;
    startup.hStdError = errors;
    if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, TRUE, share_console ? 0 : CREATE_NO_WINDOW,
                        nullptr, working_dir.c_str(), &startup, &process_)) {
        process_ = {};
    }
    CloseHandle(output);
    CloseHandle(errors);
}

C_console_process::~C_console_process()
{
    if (started()) {
        kill();
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
}

bool C_console_process::running() const
{
    return started() && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

void C_console_process::kill()
{
    if (!running()) return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, INFINITE);
}

C_console_run C_console_process::finish(DWORD timeout_ms)
{
    C_console_run run;
    run.started = started();
    if (run.started) {
        run.exited = WaitForSingleObject(process_.hProcess, timeout_ms) == WAIT_OBJECT_0;
        kill();
        GetExitCodeProcess(process_.hProcess, &run.exit_code);
    }
    run.output = read_file(streams_ / L"stdout");
    run.errors = read_file(streams_ / L"stderr");
    return run;
}

C_console_run run_console(const std::wstring& program, const std::vector<std::wstring>& args,
                          const std::wstring& working_dir, DWORD timeout_ms)
{
    return C_console_process(program, args, working_dir).finish(timeout_ms);
}
