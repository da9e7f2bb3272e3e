#include "util/code_page_932_spelling.h"

#include <windows.h>

#include <climits>

namespace {

const UINT CP932 = 932;

}  // namespace

bool spell_in_code_page_932(const std::wstring& text, std::string& bytes)
{
    bytes.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX / 2) return false;
    const int length = static_cast<int>(text.size());
    BOOL used_default = FALSE;
    const int size = WideCharToMultiByte(CP932, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr,
                                         &used_default);
    if (size <= 0 || used_default) return false;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP932, WC_NO_BEST_FIT_CHARS, text.data(), length, &bytes[0], size, nullptr, &used_default);
    // Reading the bytes back must give the very same text: the last word on
    // whatever mapping the platform's table makes.
    std::wstring back(text.size(), L'\0');
    const int back_size = MultiByteToWideChar(CP932, MB_ERR_INVALID_CHARS, bytes.data(), size, &back[0], length);
    if (used_default || back_size != length || back != text) {
        bytes.clear();
        return false;
    }
    return true;
}
