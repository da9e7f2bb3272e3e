#include "update/content_check.h"

#include "update/shipped_manifest.h"

C_content_check::C_content_check(const std::wstring& rel)
{
    const C_manifest_index* manifest = shipped_manifest();
    checked_ = manifest != nullptr;
    if (manifest) expected_ = manifest->find(rel);
}

bool C_content_check::matches()
{
    if (!checked_) return true;
    return expected_ && hash_.finish() == expected_->digest;
}
