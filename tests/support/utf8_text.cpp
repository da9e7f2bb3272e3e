#include "support/utf8_text.h"

#include <windows.h>

std::string to_utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
    return result;
}

std::string quoted(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'\n': escaped += L"\\n"; break;
        case L'\r': escaped += L"\\r"; break;
        case L'\t': escaped += L"\\t"; break;
        case L'"': escaped += L"\\\""; break;
        default: escaped += c;
        }
    }
    return "\"" + to_utf8(escaped) + "\"";
}

std::string utf16le(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}
