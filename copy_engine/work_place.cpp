#include "copy_engine/work_place.h"

#include <cwchar>

#include "util/fs/path.h"

const wchar_t* const UPDATE_WORK_FOLDER = L"~update_rollback";

namespace {

const wchar_t* const JOURNAL_NAME = L"update.journal";
const wchar_t* const STAGING_NAME = L"staged";
const wchar_t* const ORIGINALS_NAME = L"originals";

bool is_separator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

wchar_t lower_ascii(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

std::wstring numbered_folder(const std::wstring& root, std::size_t n)
{
    return path_join(root, std::to_wstring(n / C_work_place::ITEMS_PER_FOLDER));
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

C_work_place::C_work_place(const std::wstring& dest)
    : dest_dir(dest), folder(path_join(dest, UPDATE_WORK_FOLDER)), journal(path_join(folder, JOURNAL_NAME)),
      staging(path_join(folder, STAGING_NAME)), originals(path_join(folder, ORIGINALS_NAME))
{
}

std::wstring C_work_place::staged_folder(std::size_t n) const
{
    return numbered_folder(staging, n);
}

std::wstring C_work_place::staged(std::size_t n) const
{
    return path_join(staged_folder(n), std::to_wstring(n));
}

std::wstring C_work_place::original_folder(std::size_t n) const
{
    return numbered_folder(originals, n);
}

std::wstring C_work_place::original(std::size_t n) const
{
    return path_join(original_folder(n), std::to_wstring(n));
}
