#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "update_core/manifest.h"
#include "update_core/sha256.h"

// The manifest of the update being laid out (update.sha256 beside
// update.ini), made while its files are copied into gamedata: each file is
// hashed from the chunks the copy reads, so that nothing is read again.
class C_manifest_maker {
public:
    // Before each file is copied, then its chunks in order, then done().
    void start(const std::wstring& rel);
    void add(const void* data, std::size_t size);
    void done();

    // The manifest of every file done, as the bytes of its file, which the
    // maker writes with the times it gives the update's own files. False,
    // with an error record, when it cannot be spelt; `unspellable` then names
    // a file whose name UTF-8 cannot spell, if that was why.
    bool compose(std::string& bytes, std::wstring& unspellable) const;

private:
    std::vector<C_manifest_file> files_;
    C_manifest_file current_;
    C_sha256 hash_;
};
