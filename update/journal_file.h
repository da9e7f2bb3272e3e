#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "file/scoped_handle.h"
#include "update/journal_record.h"

// The journal on disk, written record by record straight to the system: a
// record that `append` has returned survives the process being killed. Nothing
// is flushed per record; `flush` makes everything durable at once.
class C_journal_writer {
public:
    C_journal_writer() = default;
    C_journal_writer(const C_journal_writer&) = delete;
    C_journal_writer& operator=(const C_journal_writer&) = delete;

    // Makes the journal at `path`, where nothing may exist yet, with its header.
    bool create(const std::wstring& path);
    // A record that could not be written whole is cut off again, so that the
    // journal never holds half a line before a later one.
    bool append(const C_journal_record& record);
    // Takes back the last record appended: its step failed without changing anything.
    bool retract_last();
    bool flush();
    void close();
    bool is_open() const { return static_cast<bool>(handle_); }

private:
    bool cut_at(std::uint64_t length);

    C_scoped_handle handle_;
    std::string bytes_;             // the record being written, reused
    std::uint64_t end_ = 0;         // the journal's length
    std::uint64_t last_start_ = 0;  // where the last record begins
};

// The records of the journal stored at `path`; false when it cannot be read
// or trusted (see read_journal_records).
bool read_journal(const std::wstring& path, std::vector<C_journal_record>& records);
