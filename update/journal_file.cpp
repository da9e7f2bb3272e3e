#include "update/journal_file.h"

#include <windows.h>

#include "update/disk_step.h"

namespace {

bool write_all(HANDLE handle, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

bool C_journal_writer::create(const std::wstring& path)
{
    close();
    if (!disk_step_allowed()) return false;
    // Readable while the update runs, for whoever wants to see how far it got.
    handle_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle_) return false;
    bytes_ = journal_start_bytes();
    end_ = last_start_ = 0;
    if (!write_all(handle_.get(), bytes_)) {
        cut_at(0);
        return false;
    }
    end_ = last_start_ = bytes_.size();
    return true;
}

bool C_journal_writer::append(const C_journal_record& record)
{
    if (!is_open() || !disk_step_allowed()) return false;
    bytes_.clear();
    append_journal_record(record, bytes_);
    if (!write_all(handle_.get(), bytes_)) {
        cut_at(end_);
        return false;
    }
    last_start_ = end_;
    end_ += bytes_.size();
    return true;
}

bool C_journal_writer::retract_last()
{
    if (!is_open() || !disk_step_allowed()) return false;
    return cut_at(last_start_);
}

bool C_journal_writer::flush()
{
    return is_open() && disk_step_allowed() && FlushFileBuffers(handle_.get());
}

void C_journal_writer::close()
{
    handle_.reset();
}

bool C_journal_writer::cut_at(std::uint64_t length)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(length);
    if (!SetFilePointerEx(handle_.get(), position, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_.get())) return false;
    end_ = length;
    if (last_start_ > end_) last_start_ = end_;
    return true;
}

namespace {

bool read_journal_file(const std::wstring& path, std::string& bytes)
{
    const C_scoped_handle handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return false;
    LARGE_INTEGER size = {};
    bool read = GetFileSizeEx(handle.get(), &size) && size.QuadPart >= 0 && size.QuadPart < 0x40000000;
    if (read) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        read = bytes.empty() || (ReadFile(handle.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                                 got == bytes.size());
    }
    if (!read) bytes.clear();
    return read;
}

}  // namespace

bool read_journal(const std::wstring& path, std::vector<C_journal_record>& records)
{
    std::string bytes;
    records.clear();
    return read_journal_file(path, bytes) && read_journal_records(bytes, records);
}
