#include "util/fs/current_dir.h"

#include <windows.h>

#include <vector>

C_scoped_current_dir::C_scoped_current_dir(const std::wstring& folder)
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> buffer(size + 1);
    GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    previous_ = buffer.data();
    entered_ = SetCurrentDirectoryW(folder.c_str()) != FALSE;
}

C_scoped_current_dir::~C_scoped_current_dir()
{
    if (entered_) SetCurrentDirectoryW(previous_.c_str());
}
