#include "copy_engine/work_place.h"

#include "util/fs/path.h"

namespace {

const wchar_t* const JOURNAL_NAME = L"update.journal";
const wchar_t* const STAGING_NAME = L"staged";
const wchar_t* const ORIGINALS_NAME = L"originals";

std::wstring numbered_folder(const std::wstring& root, std::size_t n)
{
    return path_join(root, std::to_wstring(n / C_work_place::ITEMS_PER_FOLDER));
}

}  // namespace

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
