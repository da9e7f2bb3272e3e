#pragma once
#include <windows.h>
#include <objbase.h>

#include "file/scoped_handle.h"

// The handle kinds besides files, each owned through C_scoped.

// Kernel objects whose open gives null on failure (OpenProcess).
struct object_handle_policy {
    using handle_type = HANDLE;
    static handle_type empty() { return nullptr; }
    static void close(handle_type handle) { CloseHandle(handle); }
};
using C_scoped_object = C_scoped<object_handle_policy>;

// Folder searches (FindFirstFileW), closed on every way out of the loop that reads them.
struct find_handle_policy {
    using handle_type = HANDLE;
    static handle_type empty() { return INVALID_HANDLE_VALUE; }
    static void close(handle_type handle) { FindClose(handle); }
};
using C_scoped_find = C_scoped<find_handle_policy>;

// Registry keys (RegOpenKeyExW, through `receive`).
struct registry_key_policy {
    using handle_type = HKEY;
    static handle_type empty() { return nullptr; }
    static void close(handle_type key) { RegCloseKey(key); }
};
using C_scoped_key = C_scoped<registry_key_policy>;

// Libraries loaded with LoadLibraryW.
struct library_policy {
    using handle_type = HMODULE;
    static handle_type empty() { return nullptr; }
    static void close(handle_type module) { FreeLibrary(module); }
};
using C_scoped_library = C_scoped<library_policy>;

// COM on this thread: `C_scoped_com com(SUCCEEDED(CoInitialize(nullptr)))`
// releases it only if it was taken.
struct com_policy {
    using handle_type = bool;
    static handle_type empty() { return false; }
    static void close(handle_type) { CoUninitialize(); }
};
using C_scoped_com = C_scoped<com_policy>;
