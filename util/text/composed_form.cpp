#include "util/text/composed_form.h"

#include <windows.h>

#include <climits>
#include <vector>

std::wstring composed_form(const std::wstring& text)
{
    if (text.empty() || text.size() > INT_MAX / 4) return text;
    const int size = static_cast<int>(text.size());
    if (IsNormalizedString(NormalizationC, text.data(), size)) return text;
    // The first answer is an estimate; a second try takes the size asked for.
    int capacity = NormalizeString(NormalizationC, text.data(), size, nullptr, 0);
    for (int attempt = 0; attempt < 2 && capacity > 0; ++attempt) {
        std::vector<wchar_t> composed(static_cast<std::size_t>(capacity));
        const int length = NormalizeString(NormalizationC, text.data(), size, composed.data(), capacity);
        if (length > 0) return std::wstring(composed.data(), static_cast<std::size_t>(length));
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        capacity = -length;
    }
    return text;
}
