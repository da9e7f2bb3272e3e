#include "update/journal_record.h"

#include "update_core/work_folder.h"
#include "util/fs/entry_path.h"

namespace {

const std::wstring JOURNAL_START = L"\xFEFF" L"update journal 1\r\n";
const wchar_t* const LINE_END = L"\r\n";
const wchar_t* const DONE_LINE = L"done";

const wchar_t* step_tag(journal_step step)
{
    switch (step) {
    case journal_step::folder: return L"folder";
    case journal_step::new_file: return L"new";
    case journal_step::aside: return L"aside";
    case journal_step::done: break;
    }
    return DONE_LINE;
}

void append_utf16le(const std::wstring& text, std::string& out)
{
    for (const wchar_t unit : text) {
        const auto value = static_cast<unsigned>(unit);
        out.push_back(static_cast<char>(value & 0xFF));
        out.push_back(static_cast<char>((value >> 8) & 0xFF));
    }
}

std::wstring from_utf16le(const std::string& bytes)
{
    std::wstring text;
    text.reserve(bytes.size() / 2);
    // An odd last byte is half a unit whose write did not finish.
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned low = static_cast<unsigned char>(bytes[i]);
        const unsigned high = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<wchar_t>(low | (high << 8)));
    }
    return text;
}

// A path the journal may name: below the installation, outside the work
// folder, every component named, no control characters (which no file name holds).
bool is_trusted_path(const std::wstring& rel)
{
    if (rel.empty() || rel.back() == L'\\' || rel.find(L"\\\\") != std::wstring::npos) return false;
    if (rel.find(L'/') != std::wstring::npos) return false;
    for (const wchar_t ch : rel) {
        if (static_cast<unsigned>(ch) < 0x20) return false;
    }
    return !entry_is_unsafe(rel) && !lands_in_work_folder(rel);
}

bool read_record(const std::wstring& line, C_journal_record& record)
{
    if (line == DONE_LINE) {
        record = C_journal_record{journal_step::done, std::wstring()};
        return true;
    }
    const std::size_t tab = line.find(L'\t');
    if (tab == std::wstring::npos) return false;
    const std::wstring tag = line.substr(0, tab);
    for (const journal_step step : {journal_step::folder, journal_step::new_file, journal_step::aside}) {
        if (tag != step_tag(step)) continue;
        record = C_journal_record{step, line.substr(tab + 1)};
        return is_trusted_path(record.rel);
    }
    return false;
}

}  // namespace

std::string journal_start_bytes()
{
    std::string bytes;
    append_utf16le(JOURNAL_START, bytes);
    return bytes;
}

void append_journal_record(const C_journal_record& record, std::string& out)
{
    append_utf16le(step_tag(record.step), out);
    if (record.step != journal_step::done) {
        append_utf16le(L"\t", out);
        append_utf16le(record.rel, out);
    }
    append_utf16le(LINE_END, out);
}

bool read_journal_records(const std::string& bytes, std::vector<C_journal_record>& records)
{
    records.clear();
    const std::wstring text = from_utf16le(bytes);
    // A file the system made longer but never wrote reads as zeros: nothing in it was recorded.
    if (text.find_first_not_of(L'\0') == std::wstring::npos) return true;
    if (text.size() < JOURNAL_START.size()) return JOURNAL_START.compare(0, text.size(), text) == 0;
    if (text.compare(0, JOURNAL_START.size(), JOURNAL_START) != 0) return false;

    bool done = false;
    std::size_t start = JOURNAL_START.size();
    for (;;) {
        const std::size_t end = text.find(LINE_END, start);
        if (end == std::wstring::npos) return true;
        C_journal_record record;
        if (done || !read_record(text.substr(start, end - start), record)) {
            records.clear();
            return false;
        }
        done = record.step == journal_step::done;
        records.push_back(std::move(record));
        start = end + 2;
    }
}
