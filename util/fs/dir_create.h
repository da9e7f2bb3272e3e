#pragma once
#include <string>

// Makes sure `path` is a folder, creating it and any missing parents.
// On failure records the system error code (context "SHCreateDirectoryEx").
bool dir_create(const std::wstring& path);
