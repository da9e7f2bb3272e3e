#include "update_check/path_key.h"

#include <windows.h>

#include <algorithm>

std::wstring path_key(const std::wstring& path)
{
    std::wstring key;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
        const std::wstring part = path.substr(start, end - start);
        if (!part.empty() && part != L".") key += (key.empty() ? L"" : L"\\") + part;
        start = end + 1;
    }
    if (!key.empty()) CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}
