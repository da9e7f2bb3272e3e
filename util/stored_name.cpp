#include "util/stored_name.h"

#include <windows.h>

#include <climits>

bool names_equal(const std::wstring& a, const std::wstring& b)
{
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

bool path_is_stored_as_named(const std::wstring& folder, const std::wstring& rel)
{
    std::wstring current = folder;
    std::size_t begin = 0;
    while (begin <= rel.size()) {
        std::size_t end = rel.find(L'\\', begin);
        if (end == std::wstring::npos) end = rel.size();
        const std::wstring component = rel.substr(begin, end - begin);
        begin = end + 1;
        if (component.empty() || component == L".") continue;

        // Without wildcards of its own the search finds the one item the name
        // stands for and reports the name it is stored under.
        current += L"\\" + component;
        WIN32_FIND_DATAW item;
        const HANDLE find = FindFirstFileW(current.c_str(), &item);
        if (find == INVALID_HANDLE_VALUE) return false;
        FindClose(find);
        if (!names_equal(item.cFileName, component)) return false;
    }
    return true;
}
