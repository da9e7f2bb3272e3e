#include "update_core/delete_entry_form.h"

#include "update_core/work_folder.h"
#include "util/fs/entry_path.h"

namespace {

bool names_something(const std::wstring& entry)
{
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= entry.size(); ++i) {
        if (i < entry.size() && entry[i] != L'\\' && entry[i] != L'/') continue;
        if (i > begin && !(i - begin == 1 && entry[begin] == L'.')) return true;
        begin = i + 1;
    }
    return false;
}

}  // namespace

delete_entry_form delete_entry_form_of(const std::wstring& entry)
{
    if (entry_is_unsafe(entry)) return delete_entry_form::outside;
    if (!names_something(entry)) return delete_entry_form::empty;
    if (lands_in_work_folder(entry)) return delete_entry_form::in_work_folder;
    return delete_entry_form::names_a_file;
}
