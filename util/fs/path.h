#pragma once
#include <string>

// Paths use the backslash as their only separator and are never normalised.
std::wstring path_get_folder(const std::wstring& path);
std::wstring path_get_file_name(const std::wstring& path);
std::wstring path_get_extension(const std::wstring& path);
std::wstring path_erase_extension(const std::wstring& path);

// `folder` and `name` with one backslash between them, as they are: a folder
// that ends in a backslash gives two in a row, which the file system accepts.
std::wstring path_join(const std::wstring& folder, const std::wstring& name);
