#include "update_core/manifest_index.h"

#include <algorithm>

#include "util/fs/stored_name.h"

std::wstring manifest_key(const std::wstring& rel)
{
    std::wstring key;
    key.reserve(rel.size());
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= rel.size(); ++i) {
        if (i < rel.size() && rel[i] != L'\\' && rel[i] != L'/') continue;
        const std::size_t length = i - begin;
        if (length > 0 && !(length == 1 && rel[begin] == L'.')) {
            if (!key.empty()) key += L'\\';
            key.append(rel, begin, length);
        }
        begin = i + 1;
    }
    return key;
}

bool C_manifest_index::build(std::vector<C_manifest_file> files, int& clash_line)
{
    files_.clear();
    std::stable_sort(files.begin(), files.end(),
                     [](const C_manifest_file& a, const C_manifest_file& b) { return names_less(a.rel, b.rel); });
    for (std::size_t i = 1; i < files.size(); ++i) {
        if (names_equal(files[i - 1].rel, files[i].rel)) {
            clash_line = std::max(files[i - 1].line, files[i].line);
            return false;
        }
    }
    files_ = std::move(files);
    return true;
}

std::size_t C_manifest_index::position(const std::wstring& rel) const
{
    const std::wstring key = manifest_key(rel);
    const auto at = std::lower_bound(files_.begin(), files_.end(), key, [](const C_manifest_file& file,
                                                                           const std::wstring& wanted) {
        return names_less(file.rel, wanted);
    });
    if (at == files_.end() || !names_equal(at->rel, key)) return files_.size();
    return static_cast<std::size_t>(at - files_.begin());
}

const C_manifest_file* C_manifest_index::find(const std::wstring& rel) const
{
    const std::size_t at = position(rel);
    return at < files_.size() ? &files_[at] : nullptr;
}
