#include "file/error_text.h"

#include <windows.h>

#include <string.h>

namespace {

std::wstring code_only(const wchar_t* kind, unsigned long code)
{
    return std::wstring(kind) + L" " + std::to_wstring(code);
}

std::wstring trimmed(std::wstring text)
{
    const std::size_t end = text.find_last_not_of(L" \r\n");
    text.erase(end == std::wstring::npos ? 0 : end + 1);
    return text;
}

}  // namespace

std::wstring system_error_text(unsigned long code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = length ? trimmed(std::wstring(text, length)) : std::wstring();
    LocalFree(text);
    return reason.empty() ? code_only(L"system error", code) : reason;
}

std::wstring error_reason(const C_error_info& info)
{
    switch (info.kind) {
    case error_kind::win32:
        return system_error_text(static_cast<unsigned long>(info.code));
    case error_kind::crt: {
        wchar_t text[256] = {};
        if (_wcserror_s(text, sizeof text / sizeof text[0], info.code) == 0 && text[0]) return text;
        return code_only(L"runtime error", static_cast<unsigned long>(info.code));
    }
    case error_kind::message:
        return info.message;
    }
    return code_only(L"error", static_cast<unsigned long>(info.code));
}

std::wstring last_error_reason()
{
    const C_error_info* info = last_error();
    return info ? error_reason(*info) : L"reason unknown";
}
