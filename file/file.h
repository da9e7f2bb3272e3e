#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// Thin checked wrappers over the runtime's buffered streams. Each failure returns
// false, 0 or a short count and leaves one record in the thread's last-error list;
// the context names the operation for bad arguments and the runtime call otherwise.
constexpr int FILE_ORIGIN_START = SEEK_SET;
constexpr int FILE_ORIGIN_END = SEEK_END;

// Makes a new file for binary writing and fails when `path` exists already,
// as the "x" mode of newer runtimes does.
inline const wchar_t* const FILE_MODE_CREATE_NEW = L"wbx";

// Opens `path` with a runtime mode string ("rt", "rb", "wb", FILE_MODE_CREATE_NEW) into *target.
bool file_open(std::FILE** target, const std::wstring& path, const std::wstring& mode);
// Returns the number of bytes read; a short count at the end of the file is no failure.
// Empties the last-error list first, so afterwards it holds a record exactly when this failed.
int file_read(void* buffer, int count, std::FILE* stream);
// Returns the number of bytes written.
int file_write(const void* data, int count, std::FILE* stream);
// Moves to offset 0 from FILE_ORIGIN_START or FILE_ORIGIN_END.
bool file_seek(std::FILE* stream, int origin);
// The position in bytes, or -1 as the runtime reports it. Empties the last-error list first.
std::int64_t file_tell(std::FILE* stream);

// The runtime's position query behind `file_tell`. No real file fails it right
// after a successful seek, so tests put in one that does; null restores the
// runtime's. Returns the previous one.
using position_query = std::int64_t (*)(std::FILE* stream);
position_query set_position_query(position_query query);

// How an opened stream buffers: `none` hands each read and write to the system
// as one call, for callers whose chunks are far larger than the stream's buffer.
enum class file_buffering { standard, none };

// Owns one stream and knows the file's length on disk as measured when it was opened.
class C_file {
public:
    C_file() = default;
    ~C_file();
    C_file(const C_file&) = delete;
    C_file& operator=(const C_file&) = delete;

    // Closes whatever is open, opens `path`, measures it and rewinds it.
    bool open(const std::wstring& path, const std::wstring& mode,
              file_buffering buffering = file_buffering::standard);
    // The stream is released even when closing it fails.
    bool close();

    std::FILE* stream = nullptr;
    std::int64_t size = 0;
};
