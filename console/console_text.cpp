#include "console/console_text.h"

#include <windows.h>

#include <algorithm>

namespace {

// Console writes of more than a few thousand characters may fail on older systems.
const std::size_t CONSOLE_CHUNK = 4096;

bool write_console(HANDLE handle, const std::wstring& text)
{
    for (std::size_t done = 0; done < text.size();) {
        DWORD count = static_cast<DWORD>(std::min(CONSOLE_CHUNK, text.size() - done));
        // Never split a surrogate pair between two writes.
        if (count > 1 && done + count < text.size() && IS_HIGH_SURROGATE(text[done + count - 1])) --count;
        DWORD written = 0;
        if (!WriteConsoleW(handle, text.data() + done, count, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

bool write_utf8(HANDLE handle, const std::wstring& text)
{
    if (text.empty()) return true;
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool write_text(std_stream stream, const std::wstring& text)
{
    const HANDLE handle = GetStdHandle(stream == std_stream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) ? write_console(handle, text) : write_utf8(handle, text);
}
