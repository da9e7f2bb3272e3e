#include "util/fs/full_path.h"

#include <windows.h>

#include <vector>

#include "util/fs/path.h"
#include "util/fs/stored_name.h"

std::wstring full_path(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    return std::wstring(buffer.data(), length);
}

bool path_is_within(const std::wstring& path, const std::wstring& folder)
{
    std::wstring base = folder;
    while (!base.empty() && base.back() == L'\\') base.pop_back();
    if (path.size() < base.size() || !names_equal(path.substr(0, base.size()), base)) return false;
    return path.size() == base.size() || path[base.size()] == L'\\';
}

std::wstring program_folder()
{
    std::vector<wchar_t> buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return path_get_folder(std::wstring(buffer.data(), length));
}
