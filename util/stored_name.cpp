#include "util/stored_name.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "util/path.h"

namespace {

int compare_names(const std::wstring& a, const std::wstring& b)
{
    const auto length = [](const std::wstring& s) { return static_cast<int>(std::min<std::size_t>(s.size(), INT_MAX)); };
    return CompareStringOrdinal(a.c_str(), length(a), b.c_str(), length(b), TRUE);
}

}  // namespace

bool names_equal(const std::wstring& a, const std::wstring& b)
{
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    return compare_names(a, b) == CSTR_EQUAL;
}

bool names_less(const std::wstring& a, const std::wstring& b)
{
    return compare_names(a, b) == CSTR_LESS_THAN;
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
        current = path_join(current, component);
        WIN32_FIND_DATAW item;
        const HANDLE find = FindFirstFileW(current.c_str(), &item);
        if (find == INVALID_HANDLE_VALUE) return false;
        FindClose(find);
        if (!names_equal(item.cFileName, component)) return false;
    }
    return true;
}
