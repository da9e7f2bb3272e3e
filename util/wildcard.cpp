#include "util/wildcard.h"

namespace {

wchar_t fold(wchar_t ch)
{
    if (ch == L'/') return L'\\';
    if (ch >= L'A' && ch <= L'Z') return static_cast<wchar_t>(ch + 0x20);
    return ch;
}

}  // namespace

bool wildcard_match(const std::wstring& pattern, const std::wstring& text)
{
    // Greedy walk that returns to the last "*" on a mismatch: linear in practice,
    // never exponential.
    std::size_t p = 0, t = 0;
    std::size_t star = std::wstring::npos, star_text = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            star_text = t;
        } else if (p < pattern.size() && (pattern[p] == L'?' || fold(pattern[p]) == fold(text[t]))) {
            ++p;
            ++t;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            t = ++star_text;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool path_is_excluded(const std::vector<std::wstring>& patterns, const std::wstring& rel)
{
    // The folders above `rel` first, from the top, then `rel` itself.
    for (std::size_t end = rel.find_first_of(L"\\/");; end = rel.find_first_of(L"\\/", end + 1)) {
        const std::wstring part = end == std::wstring::npos ? rel : rel.substr(0, end);
        for (const auto& pattern : patterns) {
            if (wildcard_match(pattern, part)) return true;
        }
        if (end == std::wstring::npos) return false;
    }
}
