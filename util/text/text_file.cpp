#include "util/text/text_file.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "file/error_info.h"
#include "file/file.h"

bool read_text_file(const std::wstring& path, std::wstring& text, unsigned code_page)
{
    text.clear();
    C_file file;
    if (!file.open(path, L"rt")) return false;
    // The single read takes a signed 32-bit count.
    if (file.size > INT_MAX) {
        set_last_error(error_kind::crt, EFBIG, L"read_text_file");
        return false;
    }
    std::vector<char> bytes(static_cast<std::size_t>(file.size), '\0');
    const int n = file_read(bytes.empty() ? nullptr : bytes.data(), static_cast<int>(bytes.size()), file.stream);
    bytes.resize(static_cast<std::size_t>(n));
    text = ansi_to_wide(bytes.data(), n, code_page);
    return true;
}

std::wstring ansi_to_wide(const char* bytes, int length, unsigned code_page)
{
    if (length <= 0) return std::wstring();
    return ansi_to_wide(std::string(bytes, static_cast<std::size_t>(length)), code_page);
}

std::wstring ansi_to_wide(const std::string& bytes, unsigned code_page)
{
    if (bytes.empty()) return std::wstring();
    // A source length of -1 stops at the first zero byte; the string's own
    // terminator bounds it otherwise.
    const int needed = MultiByteToWideChar(code_page, 0, bytes.c_str(), -1, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<std::size_t>(needed) + 1, L'\0');
    MultiByteToWideChar(code_page, 0, bytes.c_str(), -1, buffer.data(), needed);
    buffer[static_cast<std::size_t>(needed)] = L'\0';
    return std::wstring(buffer.data());
}
