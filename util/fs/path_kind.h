#pragma once
#include <string>

// What a path names, judged from its file attributes alone: a path whose
// attributes cannot be read counts as missing.
enum class path_kind { missing, file, folder };

path_kind get_path_kind(const std::wstring& path);
