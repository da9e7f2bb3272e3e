#pragma once
#include <string>

// The order of names and relative paths as the file system tells them apart:
// code unit by code unit with letter case ignored (CompareStringOrdinal), so
// that "Data\A.txt" and "data\a.TXT" are one place. Equal under this order
// means the same place on disk.
bool names_less(const std::wstring& a, const std::wstring& b);
bool names_same(const std::wstring& a, const std::wstring& b);
