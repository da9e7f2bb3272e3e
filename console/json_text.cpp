#include "console/json_text.h"

namespace {

bool is_high_surrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool is_low_surrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

void append_escape(std::wstring& out, wchar_t c)
{
    const wchar_t* const hex = L"0123456789abcdef";
    out += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += hex[(c >> shift) & 0xF];
}

}  // namespace

std::wstring json_quote(const std::wstring& text)
{
    std::wstring out = L"\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        switch (c) {
        case L'"': out += L"\\\""; continue;
        case L'\\': out += L"\\\\"; continue;
        case L'\n': out += L"\\n"; continue;
        case L'\r': out += L"\\r"; continue;
        case L'\t': out += L"\\t"; continue;
        default: break;
        }
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            out += c;
            out += text[++i];
        } else if (c < 0x20 || is_high_surrogate(c) || is_low_surrogate(c)) {
            append_escape(out, c);
        } else {
            out += c;
        }
    }
    return out + L"\"";
}
