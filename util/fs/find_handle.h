#pragma once
#include <windows.h>

// A folder search (FindFirstFileW) that is closed with FindClose when the object
// goes, on every way out of the loop that reads it.
class C_find_handle {
public:
    explicit C_find_handle(HANDLE handle) : handle_(handle) {}
    ~C_find_handle()
    {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    C_find_handle(const C_find_handle&) = delete;
    C_find_handle& operator=(const C_find_handle&) = delete;

    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};
