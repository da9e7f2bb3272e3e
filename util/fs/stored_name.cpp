#include "util/fs/stored_name.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

int length(std::size_t size)
{
    return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
}

wchar_t ascii_upper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

}  // namespace

int compare_names(const wchar_t* a, std::size_t a_size, const wchar_t* b, std::size_t b_size)
{
    // ASCII letters have their ASCII capitals in the platform's table too, so the
    // system is asked only from the first character beyond ASCII on: names are
    // compared by the thousand while folders are listed and looked up.
    std::size_t i = 0;
    for (; i < a_size && i < b_size && a[i] < 0x80 && b[i] < 0x80; ++i) {
        const wchar_t x = ascii_upper(a[i]);
        const wchar_t y = ascii_upper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (i == a_size || i == b_size) return a_size == b_size ? 0 : (a_size < b_size ? -1 : 1);
    return CompareStringOrdinal(a + i, length(a_size - i), b + i, length(b_size - i), TRUE) - CSTR_EQUAL;
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
