#include "util/fs/entry_path.h"

namespace {

bool is_separator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

// "..", and the forms the platform may trim to it ("...", ".. ").
bool is_parent_component(const std::wstring& entry, std::size_t begin, std::size_t end)
{
    if (end - begin < 2 || entry[begin] != L'.' || entry[begin + 1] != L'.') return false;
    for (std::size_t i = begin + 2; i < end; ++i) {
        if (entry[i] != L'.' && entry[i] != L' ') return false;
    }
    return true;
}

}  // namespace

std::wstring entry_to_relative_path(const std::wstring& entry)
{
    std::wstring path = entry;
    for (auto& ch : path) {
        if (ch == L'/') ch = L'\\';
    }
    return path;
}

bool entry_is_unsafe(const std::wstring& entry)
{
    if (!entry.empty() && is_separator(entry[0])) return true;
    if (entry.find(L':') != std::wstring::npos) return true;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= entry.size(); ++i) {
        if (i == entry.size() || is_separator(entry[i])) {
            if (is_parent_component(entry, begin, i)) return true;
            begin = i + 1;
        }
    }
    return false;
}

bool path_has_trimmed_name(const std::wstring& rel)
{
    for (std::size_t i = 0; i < rel.size(); ++i) {
        const bool ends_component = i + 1 == rel.size() || is_separator(rel[i + 1]);
        if (ends_component && (rel[i] == L'.' || rel[i] == L' ')) return true;
    }
    return false;
}
