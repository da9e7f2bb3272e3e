#pragma once
#include <string>

// Paths use the backslash as their only separator and are never normalised.
std::wstring path_get_folder(const std::wstring& path);
std::wstring path_get_file_name(const std::wstring& path);
std::wstring path_get_extension(const std::wstring& path);
std::wstring path_erase_extension(const std::wstring& path);
