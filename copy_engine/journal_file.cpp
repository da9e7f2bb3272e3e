#include "copy_engine/journal_file.h"

#include <windows.h>

#include "copy_engine/disk_ops.h"

system_error C_journal_writer::create(const std::wstring& path, const C_file_stamp& installation)
{
    close();
    path_ = path;
    end_ = 0;
    system_error error = 0;
    handle_ = make_file(path, error);
    if (!handle_) return error;
    bytes_ = journal_header_bytes(installation);
    error = write_next(handle_.get(), path_, 0, bytes_.data(), bytes_.size());
    // Before the header is durable the work folder holds nothing but the journal.
    if (!error) error = sync();
    if (error) {
        close();
        remove_file(path_);
        return error;
    }
    end_ = bytes_.size();
    return 0;
}

system_error C_journal_writer::append(const C_journal_record& record)
{
    if (!handle_) return ERROR_INVALID_HANDLE;
    bytes_.clear();
    append_journal_record(record, bytes_);
    // Half a record left by a failure is passed over by the reader: it ends
    // without its line end.
    const system_error error = write_next(handle_.get(), path_, end_, bytes_.data(), bytes_.size());
    if (!error) end_ += bytes_.size();
    return error;
}

system_error C_journal_writer::sync()
{
    if (!handle_) return ERROR_INVALID_HANDLE;
    return sync_file(handle_.get(), path_);
}

C_stored_journal read_journal(const std::wstring& path)
{
    C_stored_journal stored;
    const C_scoped_handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        stored.error = GetLastError();
        return stored;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size)) {
        stored.error = GetLastError();
        return stored;
    }
    // A journal of a gigabyte is no journal of an update.
    if (size.QuadPart < 0 || size.QuadPart >= 0x40000000) {
        stored.reading = journal_reading::untrusted;
        return stored;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr)) {
        stored.error = GetLastError();
        return stored;
    }
    // A journal that shrank since its size was read is being written by someone else.
    if (got != bytes.size()) {
        stored.error = ERROR_HANDLE_EOF;
        return stored;
    }
    stored.reading = read_journal_records(bytes, stored.journal);
    return stored;
}
