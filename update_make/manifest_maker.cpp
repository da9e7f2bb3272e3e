#include "update_make/manifest_maker.h"

#include <cerrno>
#include <climits>
#include <utility>

#include "file/error_info.h"

void C_manifest_maker::start(const std::wstring& rel)
{
    current_ = C_manifest_file();
    current_.rel = rel;
}

void C_manifest_maker::add(const void* data, std::size_t size)
{
    hash_.add(data, size);
    current_.size += size;
}

void C_manifest_maker::done()
{
    current_.digest = hash_.finish();
    files_.push_back(std::move(current_));
}

bool C_manifest_maker::compose(std::string& bytes, std::wstring& unspellable) const
{
    unspellable.clear();
    if (!write_manifest(files_, bytes)) {
        for (const C_manifest_file& file : files_) {
            std::string ignored;
            if (!write_manifest({file}, ignored)) unspellable = file.rel;
        }
        set_last_error(error_kind::crt, EILSEQ, L"write_manifest");
        return false;
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        set_last_error(error_kind::crt, EFBIG, L"write_manifest");
        return false;
    }
    return true;
}
