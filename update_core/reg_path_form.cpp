#include "update_core/reg_path_form.h"

#include <vector>

namespace {

const wchar_t* const OPENED_BELOW = L"HKEY_LOCAL_MACHINE\\Software";

const wchar_t* const ROOT_KEYS[] = {L"HKEY_LOCAL_MACHINE", L"HKLM", L"HKEY_CURRENT_USER", L"HKCU",
                                    L"HKEY_CLASSES_ROOT",  L"HKCR", L"HKEY_USERS",        L"HKU",
                                    L"HKEY_CURRENT_CONFIG", L"HKCC", L"Computer"};

bool same_ascii_name(const std::wstring& a, const wchar_t* b)
{
    const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 0x20) : c; };
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return i == a.size() && !b[i];
}

bool is_root_key(const std::wstring& part)
{
    for (const wchar_t* root : ROOT_KEYS) {
        if (same_ascii_name(part, root)) return true;
    }
    return false;
}

// Parts the updater adds itself, or that no key below Software needs.
bool is_needless_part(const std::wstring& part)
{
    return part.empty() || is_root_key(part) || same_ascii_name(part, L"Software") ||
           same_ascii_name(part, L"WOW6432Node");
}

std::vector<std::wstring> split_parts(const std::wstring& path)
{
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find(L'\\', start);
        parts.push_back(path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return parts;
        start = end + 1;
    }
}

std::wstring what_is_wrong(const std::vector<std::wstring>& parts)
{
    const std::wstring& first = parts.front();
    if (is_root_key(first)) return L"begins with the root key \"" + first + L"\"";
    if (same_ascii_name(first, L"Software")) return L"begins with \"" + first + L"\", which the updater puts before it";
    if (same_ascii_name(first, L"WOW6432Node")) {
        return L"begins with \"" + first + L"\"; Windows chooses the 32-bit view for the 32-bit updater itself";
    }
    for (const auto& part : parts) {
        if (part.empty()) return L"has an empty part (a backslash at its start or end, or two in a row)";
    }
    return std::wstring();
}

}  // namespace

std::wstring reg_path_problem(const std::wstring& reg_path)
{
    if (reg_path.empty()) return std::wstring();
    const std::vector<std::wstring> parts = split_parts(reg_path);
    std::wstring problem = what_is_wrong(parts);
    if (problem.empty()) return problem;

    problem += L": the updater opens " + std::wstring(OPENED_BELOW) + L"\\" + reg_path;
    // What is left once everything the updater adds, and the empty parts, are gone.
    std::size_t first_kept = 0;
    while (first_kept < parts.size() && is_needless_part(parts[first_kept])) ++first_kept;
    std::wstring kept;
    for (std::size_t i = first_kept; i < parts.size(); ++i) {
        if (!parts[i].empty()) kept += (kept.empty() ? L"" : L"\\") + parts[i];
    }
    if (!kept.empty()) problem += L"; give only the key below " + std::wstring(OPENED_BELOW) + L": " + kept;
    return problem;
}
