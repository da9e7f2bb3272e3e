#include "util/fs/long_path.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "file/error_info.h"
#include "util/fs/full_path.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"

namespace {

// How much of a "\\?\" path names its volume: "\\?\C:\" or "\\?\UNC\server\share\".
std::size_t volume_length(const std::wstring& path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        std::size_t end = path.find(L'\\', 8);
        if (end != std::wstring::npos) end = path.find(L'\\', end + 1);
        return end == std::wstring::npos ? path.size() : end + 1;
    }
    return std::min<std::size_t>(path.size(), 7);
}

}  // namespace

std::wstring long_path_form(const std::wstring& path)
{
    if (path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0) return path;
    std::wstring full = full_path(path);
    while (full.size() > 3 && full.back() == L'\\') full.pop_back();
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool dir_create_long(const std::wstring& path)
{
    // The deepest folder that exists, then each one below it.
    std::vector<std::wstring> missing;
    const std::size_t volume = volume_length(path);
    for (std::wstring folder = path; folder.size() >= volume && get_path_kind(folder) != path_kind::folder;
         folder = path_get_folder(folder)) {
        missing.push_back(folder);
        if (folder.find(L'\\') == std::wstring::npos) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (CreateDirectoryW(it->c_str(), nullptr)) continue;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            set_last_error(error_kind::win32, static_cast<int>(error), L"CreateDirectoryW");
            return false;
        }
    }
    return true;
}
