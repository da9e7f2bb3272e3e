#include "util/text/text.h"

#include <cerrno>
#include <cstdarg>
#include <cwchar>
#include <vector>

std::wstring to_lower_ascii(const std::wstring& text)
{
    std::wstring copy = text;
    to_lower_ascii_in_place(copy);
    return copy;
}

void to_lower_ascii_in_place(std::wstring& text)
{
    for (auto& ch : text) {
        if (ch >= L'A' && ch <= L'Z') ch = static_cast<wchar_t>(ch + 0x20);
    }
}

std::wstring replace_all(const std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    std::wstring copy = text;
    replace_all_in_place(copy, from, to);
    return copy;
}

void replace_all_in_place(std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    if (from.empty()) return;
    std::wstring::size_type pos = 0;
    while ((pos = text.find(from, pos)) != std::wstring::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

std::wstring format_text(const wchar_t* format, ...)
{
    // Runtimes disagree on what vswprintf does with a result that does not fit.
    // Some cut it to the buffer and report the full length: the buffer then
    // holds what is wanted, whatever that length. Others fail: the buffer grows
    // until the whole result fits, and it is cut afterwards. A failure that is
    // not about room, an encoding error, is told by errno and gives an empty text.
    std::vector<wchar_t> buffer(FORMAT_TEXT_MAX + 1);
    for (;;) {
        va_list args;
        va_start(args, format);
        errno = 0;
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, args);
        const int error = errno;
        va_end(args);
        if (written >= 0) break;
        if (error == EILSEQ) {
            buffer.assign(1, L'\0');
            break;
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
    buffer.back() = L'\0';
    std::wstring result(buffer.data());
    if (result.size() > FORMAT_TEXT_MAX) result.resize(FORMAT_TEXT_MAX);
    return result;
}
