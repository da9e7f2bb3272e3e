#include "util/text/code_page_932.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

bool is_single_byte(unsigned char b)
{
    return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

bool is_lead_byte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool is_trail_byte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The platform's own table says which well-formed pairs stand for a character.
bool pair_is_assigned(const char* pair)
{
    wchar_t out[2];
    return MultiByteToWideChar(CODE_PAGE_932, MB_ERR_INVALID_CHARS, pair, 2, out, 2) > 0;
}

}  // namespace

std::vector<C_invalid_bytes> find_invalid_cp932(const std::string& bytes, std::size_t begin, std::size_t end)
{
    std::vector<C_invalid_bytes> invalid;
    end = std::min(end, bytes.size());
    std::size_t i = begin;
    while (i < end) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (is_single_byte(b)) {
            ++i;
        } else if (!is_lead_byte(b) || i + 1 >= end || !is_trail_byte(static_cast<unsigned char>(bytes[i + 1]))) {
            // The next byte is read again on its own, so a line feed after a
            // stray lead byte still ends its line.
            invalid.push_back({i, 1});
            ++i;
        } else {
            if (!pair_is_assigned(bytes.data() + i)) invalid.push_back({i, 2});
            i += 2;
        }
    }
    return invalid;
}

bool reads_as_utf8(const std::string& bytes)
{
    const bool non_ascii =
        std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (!non_ascii || bytes.size() > 0x7FFFFFFF) return false;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                               nullptr, 0) > 0;
}

bool spell_in_code_page_932(const std::wstring& text, std::string& bytes)
{
    bytes.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX / 2) return false;
    const int length = static_cast<int>(text.size());
    BOOL used_default = FALSE;
    const int size = WideCharToMultiByte(CODE_PAGE_932, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr,
                                         &used_default);
    if (size <= 0 || used_default) return false;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CODE_PAGE_932, WC_NO_BEST_FIT_CHARS, text.data(), length, &bytes[0], size, nullptr, &used_default);
    // Reading the bytes back must give the very same text: the last word on
    // whatever mapping the platform's table makes.
    std::wstring back(text.size(), L'\0');
    const int back_size = MultiByteToWideChar(CODE_PAGE_932, MB_ERR_INVALID_CHARS, bytes.data(), size, &back[0], length);
    if (used_default || back_size != length || back != text) {
        bytes.clear();
        return false;
    }
    return true;
}
