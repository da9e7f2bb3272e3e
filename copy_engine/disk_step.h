#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Every change that the update makes on disk, on the way to a complete update
// or back, is announced here before it is made: what it changes, where, and for
// a write its bytes. Only a test answers no, to stop the update there as a
// killed process stops; or it records the changes, to build what a power cut
// at any point between them would leave.
enum class disk_change {
    make_folder,
    make_file,
    make_link,    // a second name `path` for the file `from`
    rename,       // the item `from` takes the name `path`
    remove_file,
    remove_folder,
    set_details,  // attributes, times or permissions of `path`
    write,        // `size` bytes from `data` at `offset` of the file `path`
    sync,         // everything written to the file `path` made durable
};

struct C_disk_step {
    disk_change change;
    const std::wstring& path;
    const std::wstring* from = nullptr;
    std::uint64_t offset = 0;
    const void* data = nullptr;
    std::size_t size = 0;
};

// Whether the step may be made. Callable from any thread: the hook runs for
// one step at a time.
bool disk_step_allowed(const C_disk_step& step);

// Installs the test's hook for every later step (empty: always yes) and
// returns the previous one.
using disk_step_hook = std::function<bool(const C_disk_step& step)>;
disk_step_hook set_disk_step_hook(disk_step_hook hook);
