#pragma once
#include <string>

#include "copy_engine/copy_failure.h"
#include "copy_engine/file_stamp.h"

// The stamp and attributes of the open file or folder `handle`.
system_error read_stamp(void* handle, C_file_stamp& stamp, unsigned long* attributes = nullptr);
// The same for an item known to lie on the volume whose serial number is
// `volume`, without asking for the volume's: under Wine that is a round trip
// to its mount manager, a millisecond an item, where the rest costs next to nothing.
system_error read_stamp_on(std::uint32_t volume, void* handle, C_file_stamp& stamp,
                           unsigned long* attributes = nullptr, std::uint64_t* created = nullptr);

// What stands at a path now, looked at without following a link at its end.
struct C_item_at {
    system_error error = 0;  // 0: found
    C_file_stamp stamp;
    unsigned long attributes = 0;

    bool found() const { return error == 0; }
    // Nothing there, as the system says (not found), never because a look failed otherwise.
    bool gone() const;
};
C_item_at look_at(const std::wstring& path);

// The stamp of the folder `path`, following links: the folder an installation's path leads to.
system_error folder_stamp(const std::wstring& path, C_file_stamp& stamp);
