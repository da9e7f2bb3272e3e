#pragma once
#include <cstddef>
#include <string>

// While an update runs, the installation folder holds one folder of the
// update's own, the work folder: the journal of its steps, the new files and
// folders it makes before they take their places, and the files they replace,
// kept until the update is complete or rolled back. Nothing an update ships
// may land there.
extern const wchar_t* const UPDATE_WORK_FOLDER;

// Whether `rel`, a path relative to the installation folder (either separator),
// is the work folder or lies below it, as the file system compares names: letter
// case ignored, and trailing dots and spaces dropped as the platform trims them.
bool lands_in_work_folder(const std::wstring& rel);

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
