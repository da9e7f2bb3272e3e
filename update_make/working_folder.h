#pragma once
#include <string>

// The folder an update is laid out in before it becomes OUT: beside OUT, named
// for OUT and for the running process ("<OUT>.making-<process id>-<start time>"),
// so that a later make can tell whether the make that owns one still runs.

// `out` is OUT's full path, without a trailing backslash.
std::wstring working_folder_for(const std::wstring& out);

// Removes the working folders of `out` whose makes no longer run (killed, or
// ended by a second Ctrl-C); a make that still runs keeps its own.
void remove_abandoned_working_folders(const std::wstring& out);
