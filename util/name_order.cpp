#include "util/name_order.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

int compare_names(const std::wstring& a, const std::wstring& b)
{
    const auto length = [](const std::wstring& s) { return static_cast<int>(std::min<std::size_t>(s.size(), INT_MAX)); };
    return CompareStringOrdinal(a.c_str(), length(a), b.c_str(), length(b), TRUE);
}

}  // namespace

bool names_less(const std::wstring& a, const std::wstring& b)
{
    return compare_names(a, b) == CSTR_LESS_THAN;
}

bool names_same(const std::wstring& a, const std::wstring& b)
{
    return compare_names(a, b) == CSTR_EQUAL;
}
