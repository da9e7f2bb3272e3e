#pragma once
#include <map>
#include <string>

// Everything below a folder: relative path -> content. Folders appear with a
// trailing backslash and no content. Names are kept as stored on disk.
using C_tree = std::map<std::wstring, std::string>;

C_tree snapshot_tree(const std::wstring& folder);

// Empty when the two trees are equal, otherwise one line per difference
// (missing, unexpected, different content with the first differing offset).
std::string tree_differences(const C_tree& expected, const C_tree& actual);

// What else a restored folder must keep besides names and contents: each item's
// attributes and each file's last write time, as text, by relative path as above.
C_tree snapshot_details(const std::wstring& folder);
// Empty when equal, otherwise one line per difference, both values shown.
std::string details_differences(const C_tree& expected, const C_tree& actual);
