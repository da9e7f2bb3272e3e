#pragma once
#include <cstddef>
#include <string>

// Whether two file names are the same name to the file system: compared code
// unit by code unit with letter case ignored (CompareStringOrdinal), so that a
// full-width or accented capital matches its small letter as it does on disk.
bool names_equal(const std::wstring& a, const std::wstring& b);
// The order that goes with it, for sorting names and relative paths so that
// the same place on disk, however spelt, sorts as one.
bool names_less(const std::wstring& a, const std::wstring& b);
// The same comparison for names given by their characters: below, equal to or
// above zero as `a` sorts before, with or after `b`.
int compare_names(const wchar_t* a, std::size_t a_size, const wchar_t* b, std::size_t b_size);
