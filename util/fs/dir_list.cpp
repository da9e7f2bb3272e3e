#include "util/fs/dir_list.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "util/fs/find_handle.h"
#include "util/fs/path.h"
#include "util/fs/stored_name.h"

namespace {

// Reads one folder item by item. A folder with nothing in it may answer "no
// file found" at once instead of giving "." and ".."; every other failure, at
// the start or on the way, means that the folder could not be read in full.
class C_folder_reader {
public:
    // `prefix`: the folder with a backslash appended.
    explicit C_folder_reader(const std::wstring& prefix) : find_(FindFirstFileW((prefix + L"*").c_str(), &item_))
    {
        if (!find_) complete_ = GetLastError() == ERROR_FILE_NOT_FOUND;
        skip_dots();
    }

    bool done() const { return !find_ || finished_; }
    const WIN32_FIND_DATAW& item() const { return item_; }
    bool complete() const { return complete_; }

    void next()
    {
        advance();
        skip_dots();
    }

private:
    void advance()
    {
        if (FindNextFileW(find_.get(), &item_)) return;
        finished_ = true;
        complete_ = GetLastError() == ERROR_NO_MORE_FILES;
    }

    void skip_dots()
    {
        while (!done() && (wcscmp(item_.cFileName, L".") == 0 || wcscmp(item_.cFileName, L"..") == 0)) advance();
    }

    WIN32_FIND_DATAW item_;
    C_find_handle find_;
    bool finished_ = false;
    bool complete_ = true;
};

dir_entry entry_of(const std::wstring& rel, const WIN32_FIND_DATAW& item)
{
    dir_entry entry;
    entry.path = rel + item.cFileName;
    entry.is_folder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = (static_cast<std::uint64_t>(item.nFileSizeHigh) << 32) | item.nFileSizeLow;
    entry.read_only = (item.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return entry;
}

}  // namespace

bool list_folder_items(const std::wstring& folder, std::vector<dir_entry>& items,
                       const std::function<void()>& on_item)
{
    C_folder_reader reader(folder + L"\\");
    for (; !reader.done(); reader.next()) {
        items.push_back(entry_of(std::wstring(), reader.item()));
        if (on_item) on_item();
    }
    return reader.complete();
}

bool C_dir_list::list(const std::wstring& folder, const std::wstring& name, const std::wstring& ext,
                      bool descend)
{
    name_filter = name;
    ext_filter = ext;
    recursive = descend;
    with_files = true;
    with_folders = false;
    entries.clear();
    unlisted.clear();
    base = folder + L"\\";
    scan(L"");
    return !entries.empty();
}

void C_dir_list::scan(const std::wstring& rel)
{
    const std::wstring prefix = base + rel;
    C_folder_reader reader(prefix);
    for (; !reader.done(); reader.next()) {
        dir_entry entry = entry_of(rel, reader.item());
        if (entry.is_folder) {
            const std::wstring sub = entry.path + L"\\";
            if (with_folders) collect(std::move(entry));
            // Descend now, so the subfolder's files stand where the folder was met.
            if (recursive) scan(sub);
        } else if (with_files && passes_filters(entry.path)) {
            collect(std::move(entry));
        }
    }
    if (!reader.complete()) unlisted.push_back(prefix.substr(0, prefix.size() - 1));
}

bool C_dir_list::passes_filters(const std::wstring& path) const
{
    const bool name_ok = name_filter == L"*" || names_equal(path_erase_extension(path), name_filter);
    const bool ext_ok = ext_filter == L"*" || names_equal(path_get_extension(path), ext_filter);
    return name_ok && ext_ok;
}

void C_dir_list::collect(dir_entry entry)
{
    total_size += entry.size;
    entries.push_back(std::move(entry));
}
