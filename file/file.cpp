#include "file/file.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cerrno>

#include "file/error_info.h"

namespace {

const wchar_t* const MSG_FILE_NOT_OPEN = L"ファイルが開かれていません。";

std::int64_t runtime_position(std::FILE* stream)
{
    return _ftelli64(stream);
}

position_query current_position_query = runtime_position;

// The exclusive "x" of newer runtimes, which msvcrt.dll lacks: the file is made,
// never taken over, and shared with nobody while it is written.
bool open_new(std::FILE** target, const std::wstring& path)
{
    *target = nullptr;
    int handle = -1;
    if (_wsopen_s(&handle, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYRW,
                  _S_IREAD | _S_IWRITE) != 0) {
        return false;
    }
    *target = _wfdopen(handle, L"wb");
    if (!*target) {
        const int code = runtime_errno();
        _close(handle);
        errno = code;
        return false;
    }
    return true;
}

}  // namespace

bool file_open(std::FILE** target, const std::wstring& path, const std::wstring& mode)
{
    if (!target) {
        set_last_error(error_kind::crt, EINVAL, L"file_open");
        return false;
    }
    // The secure open shares a file opened for reading with other readers and does
    // not share one opened for writing.
    const bool opened = mode == FILE_MODE_CREATE_NEW ? open_new(target, path)
                                                     : _wfopen_s(target, path.c_str(), mode.c_str()) == 0;
    if (!opened || !*target) {
        const int code = runtime_errno();
        set_last_error(error_kind::crt, code, L"fopen(\"" + mode + L"\")");
        *target = nullptr;
        return false;
    }
    return true;
}

int file_read(void* buffer, int count, std::FILE* stream)
{
    clear_last_error();
    if (!stream) {
        set_last_error_message(MSG_FILE_NOT_OPEN, L"file_read");
        return 0;
    }
    if (!buffer || count < 0) {
        set_last_error(error_kind::crt, EINVAL, L"file_read");
        return 0;
    }
    const auto n = std::fread(buffer, 1, static_cast<std::size_t>(count), stream);
    if (n < static_cast<std::size_t>(count) && std::ferror(stream)) {
        const int code = runtime_errno();
        set_last_error(error_kind::crt, code, L"fread");
    }
    return static_cast<int>(n);
}

int file_write(const void* data, int count, std::FILE* stream)
{
    if (!stream) {
        set_last_error_message(MSG_FILE_NOT_OPEN, L"file_write");
        return 0;
    }
    if (!data || count < 0) {
        set_last_error(error_kind::crt, EINVAL, L"file_write");
        return 0;
    }
    const auto n = std::fwrite(data, 1, static_cast<std::size_t>(count), stream);
    if (n < static_cast<std::size_t>(count)) {
        const int code = runtime_errno();
        set_last_error(error_kind::crt, code, L"fwrite");
    }
    return static_cast<int>(n);
}

bool file_seek(std::FILE* stream, int origin)
{
    if (!stream) {
        set_last_error_message(MSG_FILE_NOT_OPEN, L"file_seek");
        return false;
    }
    if (_fseeki64(stream, 0, origin) != 0) {
        const int code = runtime_errno();
        set_last_error(error_kind::crt, code, L"fseek");
        return false;
    }
    return true;
}

std::int64_t file_tell(std::FILE* stream)
{
    clear_last_error();
    if (!stream) {
        set_last_error_message(MSG_FILE_NOT_OPEN, L"file_tell");
        return 0;
    }
    return current_position_query(stream);
}

position_query set_position_query(position_query query)
{
    const position_query previous = current_position_query;
    current_position_query = query ? query : runtime_position;
    return previous;
}

C_file::~C_file()
{
    close();
}

bool C_file::close()
{
    if (stream) {
        std::FILE* const closing = stream;
        stream = nullptr;
        if (std::fclose(closing) == EOF) {
            const int code = runtime_errno();
            set_last_error(error_kind::crt, code, L"fclose");
            size = 0;
            return false;
        }
    }
    size = 0;
    return true;
}

bool C_file::open(const std::wstring& path, const std::wstring& mode, file_buffering buffering)
{
    if (!close()) return false;
    if (!file_open(&stream, path, mode)) return false;
    // The buffering may be chosen only before any other operation on the stream.
    // Should it fail, the stream keeps its buffer and works all the same.
    if (buffering == file_buffering::none) std::setvbuf(stream, nullptr, _IONBF, 0);
    if (!file_seek(stream, FILE_ORIGIN_END)) return false;
    const std::int64_t length = file_tell(stream);
    if (length < 0) {
        // A length the runtime cannot tell would size every reader's buffer wrongly.
        const int code = runtime_errno();
        set_last_error(error_kind::crt, code, L"ftell");
        return false;
    }
    size = length;
    return file_seek(stream, FILE_ORIGIN_START);
}
