#include "util/fs/folder_walk.h"

#include <cwchar>

C_folder_walk::C_folder_walk(const std::wstring& search)
    : find_(FindFirstFileExW(search.c_str(), FindExInfoBasic, &item_, FindExSearchNameMatch, nullptr, 0))
{
    if (!find_) {
        done_ = true;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) error_ = error;
        return;
    }
    skip_dots();
}

void C_folder_walk::next()
{
    if (done_) return;
    read_next();
    skip_dots();
}

void C_folder_walk::read_next()
{
    if (FindNextFileW(find_.get(), &item_)) return;
    done_ = true;
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) error_ = error;
}

void C_folder_walk::skip_dots()
{
    while (!done_ && (wcscmp(item_.cFileName, L".") == 0 || wcscmp(item_.cFileName, L"..") == 0)) read_next();
}
