#include "update_core/manifest.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "util/fs/entry_path.h"

namespace {

const std::string_view SIZE_PREFIX = "# size ";
const std::wstring_view PATH_PREFIX = L"gamedata/";
const char* const HEADER =
    "# The size and SHA-256 of every file of gamedata. In this folder, sha256sum -c update.sha256 checks them.\n";

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// Gives UTF-16 code units, as every text in memory is.
bool decode_utf8(std::string_view bytes, std::wstring& text)
{
    text.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::uint32_t point = 0;
        std::size_t length = 0;
        std::uint32_t least = 0;
        if (lead < 0x80) {
            point = lead;
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            point = lead & 0x1F;
            length = 2;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            point = lead & 0x0F;
            length = 3;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            point = lead & 0x07;
            length = 4;
            least = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            point = (point << 6) | (next & 0x3F);
        }
        if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
        if (point >= 0x10000) {
            point -= 0x10000;
            text.push_back(static_cast<wchar_t>(0xD800 + (point >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + (point & 0x3FF)));
        } else {
            text.push_back(static_cast<wchar_t>(point));
        }
        i += length;
    }
    return true;
}

bool encode_utf8(const std::wstring& text, std::string& bytes)
{
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t point = static_cast<std::uint32_t>(text[i]);
        if (point > 0xFFFF) return false;
        if (point >= 0xD800 && point <= 0xDBFF && i + 1 < text.size()) {
            const auto low = static_cast<std::uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (point >= 0xD800 && point <= 0xDFFF) return false;
        if (point < 0x80) {
            bytes.push_back(static_cast<char>(point));
        } else if (point < 0x800) {
            bytes.push_back(static_cast<char>(0xC0 | (point >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else if (point < 0x10000) {
            bytes.push_back(static_cast<char>(0xE0 | (point >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        } else {
            bytes.push_back(static_cast<char>(0xF0 | (point >> 18)));
            bytes.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (point & 0x3F)));
        }
    }
    return true;
}

bool read_size(std::string_view digits, std::uint64_t& size)
{
    if (digits.empty() || digits.size() > 20) return false;
    size = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (size > (UINT64_MAX - digit) / 10) return false;
        size = size * 10 + digit;
    }
    return true;
}

bool starts_with_prefix_ignoring_case(const std::wstring& name)
{
    if (name.size() < PATH_PREFIX.size()) return false;
    for (std::size_t i = 0; i < PATH_PREFIX.size(); ++i) {
        wchar_t c = name[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != PATH_PREFIX[i]) return false;
    }
    return true;
}

// A file line's name as a path below gamedata, with backslashes.
manifest_problem path_below_gamedata(const std::wstring& name, std::wstring& rel)
{
    if (!starts_with_prefix_ignoring_case(name)) return manifest_problem::outside;
    rel = name.substr(PATH_PREFIX.size());
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= rel.size(); ++i) {
        if (i < rel.size() && rel[i] != L'/') {
            if (static_cast<std::uint32_t>(rel[i]) < 0x20) return manifest_problem::malformed;
            continue;
        }
        const std::wstring_view part(rel.data() + begin, i - begin);
        if (part.empty() || part == L".") return manifest_problem::malformed;
        begin = i + 1;
    }
    // Either separator counts here, as the platform takes both.
    if (entry_is_unsafe(rel)) return manifest_problem::outside;
    // The backslash is a separator on Windows only; sha256sum would read it
    // as part of a name.
    if (rel.find(L'\\') != std::wstring::npos) return manifest_problem::malformed;
    std::replace(rel.begin(), rel.end(), L'/', L'\\');
    return manifest_problem::none;
}

class C_manifest_reader {
public:
    C_manifest read(const std::string& bytes)
    {
        std::size_t start = 0;
        while (start < bytes.size() && result_.problem == manifest_problem::none) {
            std::size_t end = bytes.find('\n', start);
            const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
            if (end == std::string::npos) end = bytes.size();
            if (end > start && bytes[end - 1] == '\r') --end;
            ++line_;
            read_line(std::string_view(bytes.data() + start, end - start));
            start = next;
        }
        if (result_.problem == manifest_problem::none && size_line_ > 0) fail(manifest_problem::malformed, size_line_);
        if (result_.problem != manifest_problem::none) result_.files.clear();
        return std::move(result_);
    }

private:
    void fail(manifest_problem problem, int line)
    {
        result_.problem = problem;
        result_.problem_line = line;
    }

    void read_line(std::string_view text)
    {
        std::wstring decoded;
        if (!decode_utf8(text, decoded)) return fail(manifest_problem::malformed, line_);
        if (text.empty()) return;
        if (text[0] == '#') {
            if (text.substr(0, SIZE_PREFIX.size()) != SIZE_PREFIX) return;
            // A second size before the file it belongs to.
            if (size_line_ > 0 || !read_size(text.substr(SIZE_PREFIX.size()), size_)) {
                return fail(manifest_problem::malformed, line_);
            }
            size_line_ = line_;
            return;
        }
        // "<digest> *<name>" (binary) or "<digest>  <name>" (text), as sha256sum writes them.
        C_manifest_file file;
        if (text.size() < 67 || !digest_from_hex(text.data(), 64, file.digest) || text[64] != ' ' ||
            (text[65] != '*' && text[65] != ' ') || size_line_ == 0) {
            return fail(manifest_problem::malformed, line_);
        }
        // The line is ASCII up to the name, so the name is what follows the 66 units.
        const manifest_problem problem = path_below_gamedata(decoded.substr(66), file.rel);
        if (problem != manifest_problem::none) return fail(problem, line_);
        file.size = size_;
        file.line = line_;
        size_line_ = 0;
        result_.files.push_back(std::move(file));
    }

    C_manifest result_;
    int line_ = 0;
    int size_line_ = 0;  // of the size waiting for its file; 0 when none waits
    std::uint64_t size_ = 0;
};

}  // namespace

C_manifest read_manifest(const std::string& bytes)
{
    return C_manifest_reader().read(bytes);
}

bool write_manifest(std::vector<C_manifest_file> files, std::string& bytes)
{
    bytes.clear();
    // Sorted by the bytes of their lines' paths: code point order, the same
    // wherever and by whatever the manifest is made.
    std::vector<std::pair<std::string, const C_manifest_file*>> named;
    named.reserve(files.size());
    for (const C_manifest_file& file : files) {
        std::wstring path = file.rel;
        std::replace(path.begin(), path.end(), L'\\', L'/');
        std::string spelt;
        if (!encode_utf8(path, spelt)) return false;
        named.emplace_back(std::move(spelt), &file);
    }
    std::sort(named.begin(), named.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string text = HEADER;
    for (const auto& item : named) {
        text += std::string(SIZE_PREFIX) + std::to_string(item.second->size) + "\n";
        text += digest_to_hex(item.second->digest) + " *gamedata/" + item.first + "\n";
    }
    bytes = std::move(text);
    return true;
}
