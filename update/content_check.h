#pragma once
#include <cstddef>
#include <string>

#include "update_core/manifest.h"
#include "update_core/sha256.h"

// Holds one file of the update to the manifest it ships while the copy reads
// it: each chunk read is hashed as it passes, so that no byte is read twice.
// Without a manifest it checks nothing.
class C_content_check {
public:
    // For the source file gamedata\rel.
    explicit C_content_check(const std::wstring& rel);

    void add(const void* data, std::size_t size)
    {
        if (expected_) hash_.add(data, size);
    }
    // After the last chunk: whether the file read is the one the manifest lists.
    bool matches();

private:
    bool checked_ = false;                       // the update ships a manifest
    const C_manifest_file* expected_ = nullptr;  // its line for the file; null when it lists none
    C_sha256 hash_;
};
