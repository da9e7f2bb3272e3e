#include "console/wildcard.h"

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

bool pattern_fits(const std::wstring& pattern, const std::wstring& rel, bool is_folder)
{
    const std::size_t kept = pattern.find_last_not_of(L"\\/") + 1;  // 0 when only separators
    if (kept == pattern.size()) return wildcard_match(pattern, rel);
    return is_folder && kept > 0 && wildcard_match(pattern.substr(0, kept), rel);
}

bool path_is_excluded(const std::vector<std::wstring>& patterns, const std::wstring& rel)
{
    // The folders above `rel` first, from the top, then `rel` itself.
    for (std::size_t end = rel.find_first_of(L"\\/");; end = rel.find_first_of(L"\\/", end + 1)) {
        const bool is_folder = end != std::wstring::npos;
        const std::wstring part = is_folder ? rel.substr(0, end) : rel;
        for (const auto& pattern : patterns) {
            if (pattern_fits(pattern, part, is_folder)) return true;
        }
        if (!is_folder) return false;
    }
}
