#include "util/fs/path.h"

namespace {

// Index of the dot that starts the last component's extension, or npos.
std::wstring::size_type extension_dot(const std::wstring& path)
{
    for (auto i = path.size(); i-- > 0;) {
        if (path[i] == L'\\') return std::wstring::npos;
        if (path[i] == L'.') return i;
    }
    return std::wstring::npos;
}

}  // namespace

std::wstring path_get_folder(const std::wstring& path)
{
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

std::wstring path_get_file_name(const std::wstring& path)
{
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring path_get_extension(const std::wstring& path)
{
    const auto dot = extension_dot(path);
    return dot == std::wstring::npos ? std::wstring() : path.substr(dot + 1);
}

std::wstring path_erase_extension(const std::wstring& path)
{
    const auto dot = extension_dot(path);
    return dot == std::wstring::npos ? path : path.substr(0, dot);
}

std::wstring path_join(const std::wstring& folder, const std::wstring& name)
{
    return folder + L"\\" + name;
}
