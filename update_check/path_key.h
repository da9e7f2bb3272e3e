#pragma once
#include <string>

// How paths below gamedata, and below the installation, compare on the file
// system: either separator, no empty or "." parts, letter case ignored.
std::wstring path_key(const std::wstring& path);
