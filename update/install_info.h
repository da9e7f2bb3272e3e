#pragma once
#include <windows.h>

#include <string>

// Registry strings are read through a buffer of this many UTF-16 units, so a
// value holds at most one unit fewer, leaving room for its terminating null.
constexpr DWORD REGISTRY_STRING_UNITS = 1040;

// Reads the value `name` of `key` as UTF-16 text, whatever its registry type.
// On failure tells the user which value is missing and leaves `out` unchanged.
bool read_registry_string(HKEY key, const std::wstring& name, std::wstring& out);
