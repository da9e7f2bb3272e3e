#pragma once
#include <string>

// Whether two file names are the same name to the file system: compared code
// unit by code unit with letter case ignored (CompareStringOrdinal), so that a
// full-width or accented capital matches its small letter as it does on disk.
bool names_equal(const std::wstring& a, const std::wstring& b);
// The order that goes with it, for sorting names and relative paths so that
// the same place on disk, however spelt, sorts as one.
bool names_less(const std::wstring& a, const std::wstring& b);

// Whether every component of `rel` (backslash-separated, below `folder`) names
// an item stored under that very name, letter case aside. The platform's own
// look-up also takes a short 8.3 name, trailing dots or spaces and wildcards for
// a stored name; a listing compares names and does not. Empty and "." components
// stay where they are.
bool path_is_stored_as_named(const std::wstring& folder, const std::wstring& rel);
