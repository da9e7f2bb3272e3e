#include "support/current_dir.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

C_current_dir::C_current_dir(const std::wstring& folder)
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> buffer(size + 1);
    GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    previous_ = buffer.data();
    if (!SetCurrentDirectoryW(folder.c_str())) throw std::runtime_error("cannot enter the test folder");
}

C_current_dir::~C_current_dir()
{
    SetCurrentDirectoryW(previous_.c_str());
}
