#pragma once
#include <cstdint>
#include <string>

#include "util/fs/folder_tree.h"

// A fresh folder under the system's temporary folder, removed with its contents
// when the object goes.
class C_temp_dir {
public:
    C_temp_dir();
    ~C_temp_dir();
    C_temp_dir(const C_temp_dir&) = delete;
    C_temp_dir& operator=(const C_temp_dir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// Small file helpers for tests; parent folders are created as needed.
void write_file(const std::wstring& path, const std::string& bytes);
std::string read_file(const std::wstring& path);
bool file_exists(const std::wstring& path);
bool folder_exists(const std::wstring& path);
void make_folder(const std::wstring& path);
// A file of `size` bytes, made sparse where the file system allows and at worst
// by extending its end, so that no test writes gigabytes of data.
bool make_large_file(const std::wstring& path, std::uint64_t size);
// Gives a file the marks of one that has been on a player's disk for years: a
// last write time long past and the given attributes (hidden, say), which a
// copy in its place would not have.
void age_file(const std::wstring& path, unsigned long attributes);
// Bytes that differ from file to file, so that a copy from the wrong source shows.
std::string pattern_bytes(std::size_t size, std::uint32_t seed);
