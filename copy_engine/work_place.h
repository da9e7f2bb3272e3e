#pragma once
#include <cstddef>
#include <string>

#include "update_core/work_folder.h"

// The work folder's layout. The n-th step of the journal (from 0) makes its
// file or folder as staged\<n / 1000>\<n> and, where it replaces a file, keeps
// that file as originals\<n / 1000>\<n>: few names to a folder, so that making
// one never means looking through thousands, as a folder of the installation
// may hold.
struct C_work_place {
    static constexpr std::size_t ITEMS_PER_FOLDER = 1000;

    explicit C_work_place(const std::wstring& dest_dir);

    std::wstring staged(std::size_t n) const;
    std::wstring staged_folder(std::size_t n) const;
    std::wstring original(std::size_t n) const;
    std::wstring original_folder(std::size_t n) const;

    std::wstring dest_dir;
    std::wstring folder;
    std::wstring journal;
    std::wstring staging;
    std::wstring originals;
};
