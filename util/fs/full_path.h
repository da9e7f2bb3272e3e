#pragma once
#include <string>

// `path` made absolute against the current directory, as the platform resolves
// it (GetFullPathNameW); the path unchanged when that fails.
std::wstring full_path(const std::wstring& path);

// Whether `path` is `folder` itself or lies below it, both absolute, letter case ignored.
bool path_is_within(const std::wstring& path, const std::wstring& folder);

// The folder of the running program's executable, without a trailing backslash.
std::wstring program_folder();
