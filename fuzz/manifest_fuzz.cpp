// Feeds arbitrary bytes to the reader of an update's manifest, which the
// updater trusts to say which files are whole, and checks what must hold
// whatever the bytes: a manifest read without a problem names only paths below
// gamedata, and writes out to bytes that read back to the same files and write
// out the same again. SHA-256 is fed the same bytes in two pieces, by both its
// implementations where the processor has the instructions, and must agree.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "update_core/manifest.h"
#include "update_core/sha256.h"
#include "util/fs/entry_path.h"

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

bool names_a_place_below_gamedata(const std::wstring& rel)
{
    if (rel.empty() || rel.find(L'/') != std::wstring::npos || entry_is_unsafe(rel)) return false;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= rel.size(); ++i) {
        if (i < rel.size() && rel[i] != L'\\') continue;
        const std::wstring part = rel.substr(begin, i - begin);
        if (part.empty() || part == L".") return false;
        begin = i + 1;
    }
    return true;
}

bool same_files(std::vector<C_manifest_file> a, std::vector<C_manifest_file> b)
{
    if (a.size() != b.size()) return false;
    const auto by_path = [](const C_manifest_file& x, const C_manifest_file& y) { return x.rel < y.rel; };
    std::sort(a.begin(), a.end(), by_path);
    std::sort(b.begin(), b.end(), by_path);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].rel != b[i].rel || a[i].size != b[i].size || a[i].digest != b[i].digest) return false;
    }
    return true;
}

C_sha256_digest digest_in_two(const std::uint8_t* data, std::size_t size, std::size_t split)
{
    C_sha256 hash;
    hash.add(data, split);
    hash.add(data + split, size - split);
    return hash.finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const C_manifest manifest = read_manifest(bytes);
    if (manifest.problem != manifest_problem::none) {
        check(manifest.files.empty() && manifest.problem_line > 0);
    } else {
        for (const C_manifest_file& file : manifest.files) {
            check(names_a_place_below_gamedata(file.rel) && file.line > 0);
        }
        std::string written;
        check(write_manifest(manifest.files, written));
        const C_manifest again = read_manifest(written);
        check(again.problem == manifest_problem::none && same_files(manifest.files, again.files));
        std::string rewritten;
        check(write_manifest(again.files, rewritten) && rewritten == written);
    }

    C_sha256 whole;
    whole.add(data, size);
    const C_sha256_digest expected = whole.finish();
    const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
    check(digest_in_two(data, size, split) == expected);
    const bool before = use_sha_instructions(!sha_instructions_available());
    check(digest_in_two(data, size, size - split) == expected);
    use_sha_instructions(before);
    C_sha256_digest read_back;
    const std::string hex = digest_to_hex(expected);
    check(digest_from_hex(hex.data(), hex.size(), read_back) && read_back == expected);
    return 0;
}
