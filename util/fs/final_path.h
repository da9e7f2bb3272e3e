#pragma once
#include <windows.h>

#include <string>

// The path of the open file or folder `handle` as the platform resolves it,
// names as stored, without the "\\?\" prefix; empty when it cannot be told.
std::wstring final_path_of(HANDLE handle);

// `path` as the platform finally resolves it: absolute, with junctions,
// symbolic links, short names and drive aliases resolved and names as stored,
// so that two spellings of one place compare equal. The part below the deepest
// folder that exists is appended as given. Without a trailing backslash; the
// full path as given when nothing of it can be opened.
std::wstring final_path(const std::wstring& path);
