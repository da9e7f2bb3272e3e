#include "support/tree_snapshot.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "support/temp_dir.h"
#include "support/utf8_text.h"

namespace {

std::string describe(const WIN32_FIND_DATAW& data)
{
    std::ostringstream out;
    out << "attributes 0x" << std::hex << data.dwFileAttributes << std::dec;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const std::uint64_t written =
            (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
        out << ", written " << written;
    }
    return out.str();
}

void add_folder(const std::wstring& folder, const std::wstring& prefix, C_tree& tree, bool details)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[prefix + name + L"\\"] = details ? describe(data) : std::string();
            add_folder(path, prefix + name + L"\\", tree, details);
        } else {
            tree[prefix + name] = details ? describe(data) : read_file(path);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

}  // namespace

C_tree snapshot_tree(const std::wstring& folder)
{
    C_tree tree;
    add_folder(folder, L"", tree, false);
    return tree;
}

C_tree snapshot_details(const std::wstring& folder)
{
    C_tree tree;
    add_folder(folder, L"", tree, true);
    return tree;
}

std::string details_differences(const C_tree& expected, const C_tree& actual)
{
    std::ostringstream out;
    for (const auto& item : expected) {
        const auto found = actual.find(item.first);
        if (found == actual.end()) {
            out << "missing " << quoted(item.first) << "\n";
        } else if (found->second != item.second) {
            out << quoted(item.first) << ": " << found->second << " instead of " << item.second << "\n";
        }
    }
    for (const auto& item : actual) {
        if (!expected.count(item.first)) out << "unexpected " << quoted(item.first) << "\n";
    }
    return out.str();
}

std::string tree_differences(const C_tree& expected, const C_tree& actual)
{
    std::ostringstream out;
    for (const auto& item : expected) {
        const auto found = actual.find(item.first);
        if (found == actual.end()) {
            out << "missing " << quoted(item.first) << "\n";
            continue;
        }
        const std::string& want = item.second;
        const std::string& got = found->second;
        if (want == got) continue;
        const auto mismatch = std::mismatch(want.begin(), want.begin() + std::min(want.size(), got.size()),
                                            got.begin());
        out << "content of " << quoted(item.first) << " differs: " << got.size() << " bytes instead of "
            << want.size() << ", first difference at offset " << (mismatch.first - want.begin()) << "\n";
    }
    for (const auto& item : actual) {
        if (!expected.count(item.first)) out << "unexpected " << quoted(item.first) << "\n";
    }
    return out.str();
}
