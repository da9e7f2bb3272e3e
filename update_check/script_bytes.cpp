#include "update_check/script_bytes.h"

#include <algorithm>
#include <utility>

#include "update_check/byte_order_mark.h"
#include "util/text/code_page_932.h"
#include "util/text/text.h"

namespace {

C_check_finding script_finding(finding_kind kind, int line, std::wstring text)
{
    return finding_on(kind, L"update.ini", line, std::move(text));
}

}  // namespace

std::vector<C_check_finding> review_script_bytes(const std::string& bytes)
{
    std::vector<C_check_finding> findings;
    const byte_order_mark mark = find_byte_order_mark(bytes);
    if (mark == byte_order_mark::utf8) {
        findings.push_back(script_finding(finding_kind::script_byte_order_mark, 1,
                                          L"starts with a UTF-8 byte-order mark; the updater reads code page 932 "
                                          L"(Shift_JIS), so save the script in it without one"));
    } else if (mark != byte_order_mark::none) {
        findings.push_back(script_finding(finding_kind::script_byte_order_mark, 1,
                                          L"saved as UTF-16 (it starts with a byte-order mark); the updater reads "
                                          L"code page 932 (Shift_JIS) and stops at the first zero byte"));
    }

    const std::size_t stop = std::min(bytes.find('\x1A'), bytes.find('\0'));
    const std::size_t data_end = std::min(stop, bytes.size());
    // Lines are counted as the loader cuts them: at line feeds, which code page
    // 932 never uses inside a character.
    int line = 1;
    std::size_t counted_to = 0;
    std::size_t line_start = 0;
    const auto move_to = [&](std::size_t offset) {
        for (; counted_to < offset; ++counted_to) {
            if (bytes[counted_to] == '\n') {
                ++line;
                line_start = counted_to + 1;
            }
        }
    };

    const bool utf8 = mark == byte_order_mark::none && reads_as_utf8(bytes.substr(0, data_end));
    int reported_line = 0;
    for (const C_invalid_bytes& bad : find_invalid_cp932(bytes, byte_order_mark_size(mark), data_end)) {
        move_to(bad.offset);
        if (line == reported_line) continue;  // one finding per line: its first bad character
        reported_line = line;
        std::wstring shown;
        for (std::size_t i = 0; i < bad.length; ++i) {
            shown += format_text(i ? L" 0x%02X" : L"0x%02X", static_cast<unsigned char>(bytes[bad.offset + i]));
        }
        findings.push_back(script_finding(
            finding_kind::script_not_cp932, line,
            L"not code page 932 (Shift_JIS): " + shown + L" at column " + std::to_wstring(bad.offset - line_start + 1) +
                (utf8 ? L"; the script reads as UTF-8, save it in code page 932" : L"")));
    }

    if (stop != std::string::npos && stop + 1 < bytes.size()) {
        move_to(stop);
        const wchar_t* const what = bytes[stop] == '\0' ? L"a zero byte" : L"a Ctrl-Z (0x1A)";
        findings.push_back(script_finding(finding_kind::script_stops_early, line,
                                          std::wstring(L"the updater stops reading at ") + what +
                                              L" on this line; the rest of the file is ignored"));
    }
    return findings;
}

