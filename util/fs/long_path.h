#pragma once
#include <string>

// Paths beyond the system's 260 characters: the "\\?\" form of a path, which
// the wide file calls take at any length. Names below a folder in that form
// are taken literally (no "." or ".." parts, no trimming of trailing dots or
// spaces), so join names as listed to it and no other paths.

// `path` made absolute and given the "\\?\" prefix ("\\?\UNC\" for a share); a
// path in that form already, or a device path ("\\.\"), as it is.
std::wstring long_path_form(const std::wstring& path);

// Makes sure the folder `path` (in the "\\?\" form) exists, creating it and its
// missing parents one by one. On failure records the system's error code
// (context "CreateDirectoryW").
bool dir_create_long(const std::wstring& path);
