#include "util/fs/path_kind.h"

#include <windows.h>

path_kind get_path_kind(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return path_kind::missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? path_kind::folder : path_kind::file;
}
