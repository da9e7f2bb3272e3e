#include "update_make/release_listing.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "update_make/make_interrupt.h"
#include "util/fs/folder_walk.h"
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
        bool empty = true;
        C_folder_walk items((rel.empty() ? folder_ : path_join(folder_, rel)) + L"\\*");
        for (; !items.done(); items.next()) {
            empty = false;
            visit(rel.empty() ? std::wstring(items.name()) : path_join(rel, items.name()), items);
        }
        if (items.error() != 0) {
            listing_.unlisted.push_back({rel, items.error()});
        } else if (empty && !rel.empty()) {
            listing_.empty_folders.push_back(rel);
        }
    }

private:
    void visit(const std::wstring& rel, const C_folder_walk& item)
    {
        if (exclusions_.exclude(rel, item.is_folder())) return;
        if (!item.is_folder()) {
            listing_.files.push_back({rel, item.size(), (item.item().dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0});
        } else if (!item.descends()) {
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
