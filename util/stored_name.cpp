#include "util/stored_name.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

int length(std::size_t size)
{
    return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
}

}  // namespace

int compare_names(const wchar_t* a, std::size_t a_size, const wchar_t* b, std::size_t b_size)
{
    return CompareStringOrdinal(a, length(a_size), b, length(b_size), TRUE) - CSTR_EQUAL;
}

bool names_equal(const std::wstring& a, const std::wstring& b)
{
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    return compare_names(a.c_str(), a.size(), b.c_str(), b.size()) == 0;
}

bool names_less(const std::wstring& a, const std::wstring& b)
{
    return compare_names(a.c_str(), a.size(), b.c_str(), b.size()) < 0;
}
