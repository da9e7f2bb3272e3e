#include "update_check/manifest_check.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include "file/error_text.h"
#include "file/file.h"
#include "update_core/manifest_index.h"
#include "update_core/messages.h"
#include "util/fs/folder_listings.h"
#include "util/fs/path.h"
#include "util/fs/path_kind.h"
#include "util/fs/stored_name.h"

namespace {

const wchar_t* const SOURCE_FOLDER = L"gamedata";
const int HASH_CHUNK = 1 << 20;

C_check_finding manifest_error(int line, std::wstring text)
{
    return finding_on(finding_kind::manifest_unreadable, MANIFEST_FILE, line, std::move(text));
}

bool read_bytes(const std::wstring& path, std::string& bytes)
{
    C_file file;
    if (!file.open(path, L"rb") || file.size > INT_MAX) return false;
    bytes.assign(static_cast<std::size_t>(file.size), '\0');
    const int n = file_read(bytes.empty() ? nullptr : &bytes[0], static_cast<int>(bytes.size()), file.stream);
    return n == static_cast<int>(bytes.size());
}

// False, with the error record, when the file cannot be read through.
bool hash_file(const std::wstring& path, char* buffer, C_sha256_digest& digest)
{
    C_file file;
    if (!file.open(path, L"rb", file_buffering::none)) return false;
    C_sha256 hash;
    for (std::int64_t left = file.size; left > 0;) {
        const int wanted = static_cast<int>(std::min<std::int64_t>(HASH_CHUNK, left));
        if (file_read(buffer, wanted, file.stream) != wanted) return false;
        hash.add(buffer, static_cast<std::size_t>(wanted));
        left -= wanted;
    }
    digest = hash.finish();
    return true;
}

std::wstring bytes_text(std::uint64_t size)
{
    return std::to_wstring(size) + (size == 1 ? L" byte" : L" bytes");
}

std::wstring on_line(int line)
{
    return L"update.sha256 line " + std::to_wstring(line);
}

}  // namespace

std::vector<C_check_finding> check_manifest(C_folder_listings& listings, const std::wstring& folder)
{
    std::vector<C_check_finding> findings;
    const std::wstring source = path_join(folder, SOURCE_FOLDER);
    const bool has_source = get_path_kind(source) == path_kind::folder;
    std::vector<dir_entry> files;
    if (has_source) {
        listings.for_each_file(source, [&files](const std::wstring& rel, const dir_entry& file) {
            files.push_back(dir_entry{rel, false, file.size});
        });
    }

    const std::wstring manifest_path = path_join(folder, MANIFEST_FILE);
    const path_kind manifest_kind = get_path_kind(manifest_path);
    if (manifest_kind == path_kind::missing) {
        if (!files.empty()) {
            findings.push_back(finding_at(finding_kind::manifest_missing, MANIFEST_FILE, L"missing, so players' updater cannot tell a damaged download"));
        }
        return findings;
    }
    std::string bytes;
    if (manifest_kind != path_kind::file || !read_bytes(manifest_path, bytes)) {
        findings.push_back(manifest_error(0, msg_manifest_unreadable(0)));
        return findings;
    }
    C_manifest manifest = read_manifest(bytes);
    if (manifest.problem != manifest_problem::none) {
        const int line = manifest.problem_line;
        findings.push_back(manifest_error(
            line, manifest.problem == manifest_problem::outside ? msg_manifest_outside(line) : msg_manifest_unreadable(line)));
        return findings;
    }
    C_manifest_index index;
    int clash_line = 0;
    if (!index.build(std::move(manifest.files), clash_line)) {
        findings.push_back(manifest_error(clash_line, msg_manifest_unreadable(clash_line)));
        return findings;
    }
    if (!has_source) return findings;

    std::sort(files.begin(), files.end(), [](const dir_entry& a, const dir_entry& b) { return names_less(a.path, b.path); });
    std::vector<bool> seen(index.files().size(), false);
    const std::unique_ptr<char[]> buffer(new char[HASH_CHUNK]);
    for (const dir_entry& file : files) {
        const std::wstring place = path_join(SOURCE_FOLDER, file.path);
        const std::size_t at = index.position(file.path);
        if (at == seen.size()) {
            findings.push_back(finding_at(finding_kind::file_unlisted, place, L"not listed in update.sha256"));
            continue;
        }
        seen[at] = true;
        const C_manifest_file& listed = index.files()[at];
        if (file.size != listed.size) {
            findings.push_back(finding_at(finding_kind::file_size_differs, place,
                                          L"is " + bytes_text(file.size) + L"; " + on_line(listed.line) + L" lists " +
                                              bytes_text(listed.size)));
            continue;
        }
        C_sha256_digest digest;
        if (!hash_file(path_join(folder, place), buffer.get(), digest)) {
            findings.push_back(finding_at(finding_kind::file_unreadable, place, L"cannot be read: " + last_error_reason()));
        } else if (digest != listed.digest) {
            findings.push_back(finding_at(finding_kind::file_damaged, place,
                                          L"its content is not what " + on_line(listed.line) +
                                              L" lists (another SHA-256): a damaged file"));
        }
    }
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i]) continue;
        const C_manifest_file& listed = index.files()[i];
        findings.push_back(finding_at(finding_kind::file_listed_missing, path_join(SOURCE_FOLDER, listed.rel),
                                      L"missing, but " + on_line(listed.line) + L" lists it"));
    }
    return findings;
}
