#include "update_make/release_listing.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "update_make/make_interrupt.h"
#include "util/fs/find_handle.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"
#include "console/wildcard.h"

namespace {

class C_release_walk {
public:
    C_release_walk(const std::wstring& folder, C_exclusions& exclusions, C_release_listing& listing)
        : folder_(folder), exclusions_(exclusions), listing_(listing)
    {
    }

    void walk(const std::wstring& rel)
    {
        if (make_interrupted()) return;
        const std::wstring pattern = (rel.empty() ? folder_ : path_join(folder_, rel)) + L"\\*";
        WIN32_FIND_DATAW item;
        const C_find_handle find(
            FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &item, FindExSearchNameMatch, nullptr, 0));
        if (!find) {
            const DWORD error = GetLastError();
            // A drive's root has no "." entry: nothing found there means empty.
            if (error != ERROR_FILE_NOT_FOUND) listing_.unlisted.push_back({rel, error});
            return;
        }
        bool empty = true;
        do {
            const std::wstring name = item.cFileName;
            if (name == L"." || name == L"..") continue;
            empty = false;
            visit(rel.empty() ? name : path_join(rel, name), item);
        } while (FindNextFileW(find.get(), &item));
        const DWORD error = GetLastError();
        if (error != ERROR_NO_MORE_FILES) {
            listing_.unlisted.push_back({rel, error});
        } else if (empty && !rel.empty()) {
            listing_.empty_folders.push_back(rel);
        }
    }

private:
    void visit(const std::wstring& rel, const WIN32_FIND_DATAW& item)
    {
        const bool is_folder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (exclusions_.exclude(rel, is_folder)) return;
        if (!is_folder) {
            const std::uint64_t size = (static_cast<std::uint64_t>(item.nFileSizeHigh) << 32) | item.nFileSizeLow;
            listing_.files.push_back({rel, size, (item.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0});
        } else if (item.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            listing_.links.push_back(rel);
        } else {
            walk(rel);
        }
    }

    const std::wstring& folder_;
    C_exclusions& exclusions_;
    C_release_listing& listing_;
};

}  // namespace

C_exclusions::C_exclusions(std::vector<std::wstring> patterns)
    : patterns_(std::move(patterns)), used_(patterns_.size(), false)
{
}

bool C_exclusions::exclude(const std::wstring& rel, bool is_folder)
{
    // Every pattern that fits counts as used, so that only those that fit
    // nothing are reported.
    bool excluded = false;
    for (std::size_t i = 0; i < patterns_.size(); ++i) {
        if (pattern_fits(patterns_[i], rel, is_folder)) used_[i] = excluded = true;
    }
    return excluded;
}

std::vector<std::wstring> C_exclusions::unused() const
{
    std::vector<std::wstring> unused;
    for (std::size_t i = 0; i < patterns_.size(); ++i) {
        if (!used_[i]) unused.push_back(patterns_[i]);
    }
    return unused;
}

C_release_listing list_release(const std::wstring& folder, C_exclusions& exclusions)
{
    C_release_listing listing;
    C_release_walk(folder, exclusions, listing).walk(std::wstring());
    std::sort(listing.files.begin(), listing.files.end(),
              [](const C_release_entry& a, const C_release_entry& b) { return names_less(a.rel, b.rel); });
    return listing;
}
