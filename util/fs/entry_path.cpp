#include "util/fs/entry_path.h"

#include <initializer_list>

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

wchar_t ascii_upper(wchar_t ch)
{
    return ch >= L'a' && ch <= L'z' ? static_cast<wchar_t>(ch - (L'a' - L'A')) : ch;
}

bool is_device_name(const std::wstring& name)
{
    // What stands before the first dot, less the blanks at its end, names the device.
    std::wstring base = name.substr(0, name.find(L'.'));
    base.erase(base.find_last_not_of(L' ') + 1);
    for (auto& ch : base) ch = ascii_upper(ch);
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (base == device) return true;
    }
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0)) return false;
    const wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\x00B9' || digit == L'\x00B2' || digit == L'\x00B3';
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

std::wstring path_device_name(const std::wstring& rel)
{
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= rel.size(); ++i) {
        if (i == rel.size() || is_separator(rel[i])) {
            const std::wstring name = rel.substr(begin, i - begin);
            if (is_device_name(name)) return name;
            begin = i + 1;
        }
    }
    return std::wstring();
}
