#include "util/fs/folder_listings.h"

#include <algorithm>
#include <utility>

#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

// Items read between two calls of the progress callback.
const std::size_t ITEMS_PER_PROGRESS = 256;

// A bare name split at its last dot, as the lister's filters split it.
struct C_name_parts {
    const wchar_t* stem;
    std::size_t stem_size;
    const wchar_t* ext;
    std::size_t ext_size;
};

C_name_parts parts_of(const std::wstring& name)
{
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return {name.c_str(), name.size(), name.c_str() + name.size(), 0};
    return {name.c_str(), dot, name.c_str() + dot + 1, name.size() - dot - 1};
}

int compare_parts(const C_name_parts& a, const C_name_parts& b)
{
    const int stems = compare_names(a.stem, a.stem_size, b.stem, b.stem_size);
    return stems != 0 ? stems : compare_names(a.ext, a.ext_size, b.ext, b.ext_size);
}

}  // namespace

std::vector<const dir_entry*> C_listed_folder::named(const std::wstring& name) const
{
    if (by_name_.size() != items.size()) {
        by_name_.resize(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) by_name_[i] = i;
        // Stable, so that names equal but for letter case keep their list order.
        std::stable_sort(by_name_.begin(), by_name_.end(), [this](std::size_t a, std::size_t b) {
            return compare_parts(parts_of(items[a].path), parts_of(items[b].path)) < 0;
        });
    }
    const C_name_parts wanted = parts_of(name);
    const auto first = std::lower_bound(by_name_.begin(), by_name_.end(), wanted,
                                        [this](std::size_t item, const C_name_parts& key) {
                                            return compare_parts(parts_of(items[item].path), key) < 0;
                                        });
    std::vector<const dir_entry*> found;
    for (auto at = first; at != by_name_.end() && compare_parts(parts_of(items[*at].path), wanted) == 0; ++at) {
        found.push_back(&items[*at]);
    }
    return found;
}

C_folder_listings::C_folder_listings(std::function<void()> on_progress) : on_progress_(std::move(on_progress)) {}

const C_listed_folder& C_folder_listings::folder(const std::wstring& path)
{
    std::unique_ptr<C_listed_folder>& listed = folders_[path];
    if (!listed) {
        listed.reset(new C_listed_folder);
        listed->complete = list_folder_items(path, listed->items, [this] {
            if (on_progress_ && ++items_since_progress_ == ITEMS_PER_PROGRESS) {
                items_since_progress_ = 0;
                on_progress_();
            }
        });
    }
    return *listed;
}

bool C_folder_listings::for_each_file(const std::wstring& path,
                                      const std::function<void(const std::wstring& rel, const dir_entry& file)>& take)
{
    return walk(path, std::wstring(), take);
}

bool C_folder_listings::walk(const std::wstring& path, const std::wstring& rel,
                             const std::function<void(const std::wstring& rel, const dir_entry& file)>& take)
{
    // Listings never move once made, so `here` outlives the subfolders listed below.
    const C_listed_folder& here = folder(path);
    bool complete = here.complete;
    for (const dir_entry& item : here.items) {
        if (item.is_folder) {
            complete = walk(path_join(path, item.path), rel + item.path + L"\\", take) && complete;
        } else {
            take(rel + item.path, item);
        }
    }
    return complete;
}
