#pragma once
#include <cstdint>
#include <string>

#include "copy_engine/copy_failure.h"
#include "copy_engine/journal_record.h"
#include "file/scoped_handle.h"

// The journal on disk, written record by record straight to the system, so
// that a record that `append` has returned survives the process being killed.
// Only `sync` makes records outlast a power cut.
class C_journal_writer {
public:
    C_journal_writer() = default;
    C_journal_writer(const C_journal_writer&) = delete;
    C_journal_writer& operator=(const C_journal_writer&) = delete;

    // Makes the journal at `path`, where nothing may exist yet, with the header
    // naming `installation`, and makes it durable. On a failure nothing is
    // left open and the file made is removed again.
    system_error create(const std::wstring& path, const C_file_stamp& installation);
    system_error append(const C_journal_record& record);
    system_error sync();
    void close() { handle_.reset(); }

private:
    C_scoped_handle handle_;
    std::wstring path_;
    std::string bytes_;      // the record being written, reused
    std::uint64_t end_ = 0;  // the journal's length
};

struct C_stored_journal {
    system_error error = 0;  // the system's reason when it could not be read
    journal_reading reading = journal_reading::unwritten;
    C_journal journal;
};

// The journal stored at `path`, read back whole.
C_stored_journal read_journal(const std::wstring& path);
