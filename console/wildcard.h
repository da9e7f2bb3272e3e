#pragma once
#include <string>
#include <vector>

// Whether `text` fits `pattern`, where "*" stands for any run of characters
// (separators included, so "save\*" takes a whole subtree and "*.log" a log at
// any depth) and "?" for any one character. The backslash and the forward slash
// are the same separator, and ASCII letters match in either case, as names do
// on the file system.
bool wildcard_match(const std::wstring& pattern, const std::wstring& text);

// Whether `rel` itself fits an exclusion pattern. A pattern that ends in a
// separator ("save\" or "save/") names folders only: it fits a folder
// (`is_folder`) that fits the pattern without its final separators.
bool pattern_fits(const std::wstring& pattern, const std::wstring& rel, bool is_folder);

// Whether the file `rel` (a path relative to a release folder) or one of the
// folders above it fits one of the patterns: an excluded folder takes its
// whole subtree.
bool path_is_excluded(const std::vector<std::wstring>& patterns, const std::wstring& rel);
