#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "copy_engine/copy_failure.h"
#include "file/scoped_handle.h"

// The changes the copy makes on disk, each announced to the disk step seam
// first and each answering with the system's error code (0: done;
// ERROR_CANCELLED: the seam stopped it). Paths are absolute.

// A folder where there is nothing, given `security` (a SECURITY_ATTRIBUTES, or null).
system_error make_folder(const std::wstring& path, void* security = nullptr);
// A new file, opened for writing; nothing else may exist at `path`.
C_scoped_handle make_file(const std::wstring& path, system_error& error);
// A second name `link` for the file `target`.
system_error make_link(const std::wstring& link, const std::wstring& target);
// `from` takes the name `to`, where nothing may be.
system_error rename_item(const std::wstring& from, const std::wstring& to);
// `from` takes the name `to`, whose item it may replace.
system_error rename_over(const std::wstring& from, const std::wstring& to);
system_error remove_file(const std::wstring& path);
system_error remove_folder(const std::wstring& path);
system_error set_attributes(const std::wstring& path, unsigned long attributes);
// Lets an item that was made in the work folder take its permissions from
// the folder it now stands in.
system_error inherit_permissions(const std::wstring& path);

// Writes all `size` bytes where the file stands, `offset` bytes from its start.
system_error write_next(void* file, const std::wstring& path, std::uint64_t offset, const void* data, std::size_t size);
system_error sync_file(void* file, const std::wstring& path);
// Sets the written file's last write time to `written`, the time it has now,
// so that closing it does not move the time on (the platform may set it when a
// written file is closed), and gives it `created` as its creation time and
// `attributes` (each 0: as they are).
system_error settle_details(void* file, const std::wstring& path, std::uint64_t written, std::uint64_t created,
                            unsigned long attributes);
// Gives the open file the permissions `security` (a self-relative security
// descriptor of its DACL), as they are, inherited entries included.
system_error set_permissions(void* file, const std::wstring& path, const std::vector<char>& security);

// Whether a failed look-up says that nothing is there: the item, or the
// folder it would stand in. Every other failure is a place that cannot be told.
bool is_gone(system_error error);
