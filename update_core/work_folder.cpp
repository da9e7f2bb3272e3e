#include "update_core/work_folder.h"

#include <cwchar>

const wchar_t* const UPDATE_WORK_FOLDER = L"~update_rollback";

namespace {

bool is_separator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

wchar_t lower_ascii(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

}  // namespace

// Looked at for every file the copy makes, so it compares in place.
bool lands_in_work_folder(const std::wstring& rel)
{
    // The first component that names something: empty and "." parts name the
    // folder they stand in.
    std::size_t start = 0;
    std::size_t end = 0;
    for (;; start = end + 1) {
        if (start >= rel.size()) return false;
        end = start;
        while (end < rel.size() && !is_separator(rel[end])) ++end;
        if (end > start && !(end - start == 1 && rel[start] == L'.')) break;
    }
    while (end > start && (rel[end - 1] == L'.' || rel[end - 1] == L' ')) --end;
    const std::size_t length = std::wcslen(UPDATE_WORK_FOLDER);
    if (end - start != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (lower_ascii(rel[start + i]) != UPDATE_WORK_FOLDER[i]) return false;
    }
    return true;
}
