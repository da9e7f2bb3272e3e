#pragma once
#include <string>
#include <vector>

// How to read C_error_info::code.
enum class error_kind : int {
    crt = 1,      // the runtime library's errno
    win32 = 2,    // a Windows system error code
    message = 5,  // no code; the record's message says what happened
};

// What a failed low-level operation leaves behind for whoever wants details.
struct C_error_info {
    error_kind kind{};
    int code = 0;
    std::wstring message;
    std::wstring context;
};

// Each thread keeps its own list; it holds at most the most recent failure.
void set_last_error(error_kind kind, int code, const std::wstring& context);
void set_last_error_message(const std::wstring& message, const std::wstring& context);
void set_last_errno_error(const std::wstring& context);
// The runtime library's errno now; read it straight after the failing call,
// before building a record can disturb it.
int runtime_errno();
void clear_last_error();

// The calling thread's list as it stands, and its most recent record (null when empty).
const std::vector<C_error_info>& last_error_list();
const C_error_info* last_error();
