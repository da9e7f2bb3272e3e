#pragma once
#include <string>

// Removes a folder with everything below it, read-only files included. True
// when the folder is gone afterwards.
bool remove_folder_tree(const std::wstring& path);

// Whether `path` is a folder with nothing in it, not even an empty subfolder.
bool folder_is_empty(const std::wstring& path);
