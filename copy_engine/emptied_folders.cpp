#include "copy_engine/emptied_folders.h"

#include <windows.h>

#include <algorithm>
#include <set>

#include "copy_engine/disk_ops.h"
#include "copy_engine/item_stamp.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

const std::size_t FOLDERS_PER_REPORT = 64;

std::wstring folder_of(const std::wstring& rel)
{
    const std::size_t slash = rel.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : rel.substr(0, slash);
}

std::size_t depth_of(const std::wstring& rel)
{
    return static_cast<std::size_t>(std::count(rel.begin(), rel.end(), L'\\'));
}

struct C_names_less {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return names_less(a, b); }
};

}  // namespace

void remove_emptied_folders(const std::wstring& dest_dir, const std::vector<C_journal_record>& records,
                            C_copy_progress& progress)
{
    // Every folder above a removed file, each once: a level already seen has
    // its own levels above it seen too.
    std::set<std::wstring, C_names_less> seen;
    for (const C_journal_record& record : records) {
        if (record.step != journal_step::remove) continue;
        for (std::wstring level = folder_of(record.rel); !level.empty() && seen.insert(level).second;
             level = folder_of(level)) {
        }
    }
    std::vector<std::wstring> folders(seen.begin(), seen.end());
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::wstring& a, const std::wstring& b) { return depth_of(a) > depth_of(b); });
    std::size_t looked = 0;
    for (const std::wstring& rel : folders) {
        if (++looked % FOLDERS_PER_REPORT == 0) progress.working();
        const std::wstring path = path_join(dest_dir, rel);
        const C_item_at there = look_at(path);
        // A link is the player's set-up, whatever it leads to.
        if (!there.found() || !(there.attributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (there.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            continue;
        }
        // Fails on a folder that holds anything, which then stays.
        remove_folder(path);
    }
}
