#pragma once
#include <cstdint>

// What tells one file or folder apart from every other, as the file system
// gives it: the volume's serial number and the item's index on it, which stay
// with the item through renames, and a file's size and last write time, which
// change when anything writes to it. Times are in the platform's units of
// 100 ns.
struct C_file_stamp {
    std::uint32_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t size = 0;
    std::uint64_t written = 0;
};

// The same item, whatever was done to it since.
inline bool same_item(const C_file_stamp& a, const C_file_stamp& b)
{
    return a.volume == b.volume && a.index == b.index;
}

// The same file, and nothing written to it since.
inline bool same_file_unchanged(const C_file_stamp& a, const C_file_stamp& b)
{
    return same_item(a, b) && a.size == b.size && a.written == b.written;
}
