#include "copy_engine/journal_record.h"

#include "copy_engine/work_place.h"
#include "util/fs/entry_path.h"

namespace {

const std::wstring JOURNAL_START = L"\xFEFF" L"update journal 2\r\n";
const std::wstring INSTALLATION_TAG = L"installation";
const wchar_t* const LINE_END = L"\r\n";
const wchar_t FIELD_END = L'\t';
const wchar_t* const DONE_LINE = L"done";

struct C_step_form {
    journal_step step;
    const wchar_t* tag;
    bool places_item;
    bool keeps_original;
};

const C_step_form STEP_FORMS[] = {
    {journal_step::folder, L"folder", true, false},
    {journal_step::new_file, L"new", true, false},
    {journal_step::replace, L"replace", true, true},
    {journal_step::remove, L"remove", false, true},
};

const C_step_form* form_of(journal_step step)
{
    for (const C_step_form& form : STEP_FORMS) {
        if (form.step == step) return &form;
    }
    return nullptr;
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

// Fixed-width lower-case hexadecimal, so that every stamp reads back exactly.
void append_hex(std::uint64_t value, int digits, std::wstring& out)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out.push_back(L"0123456789abcdef"[(value >> shift) & 0xF]);
    }
}

bool read_hex(const std::wstring& text, std::size_t& at, int digits, std::uint64_t& value)
{
    if (text.size() - at < static_cast<std::size_t>(digits)) return false;
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const wchar_t ch = text[at++];
        unsigned digit = 0;
        if (ch >= L'0' && ch <= L'9') {
            digit = static_cast<unsigned>(ch - L'0');
        } else if (ch >= L'a' && ch <= L'f') {
            digit = static_cast<unsigned>(ch - L'a' + 10);
        } else {
            return false;
        }
        value = (value << 4) | digit;
    }
    return true;
}

// volume-index-size-written, each in hexadecimal.
void append_stamp(const C_file_stamp& stamp, std::wstring& out)
{
    append_hex(stamp.volume, 8, out);
    out.push_back(L'-');
    append_hex(stamp.index, 16, out);
    out.push_back(L'-');
    append_hex(stamp.size, 16, out);
    out.push_back(L'-');
    append_hex(stamp.written, 16, out);
}

bool read_stamp(const std::wstring& text, std::size_t& at, C_file_stamp& stamp)
{
    std::uint64_t volume = 0;
    const auto dash = [&] { return at < text.size() && text[at++] == L'-'; };
    if (!read_hex(text, at, 8, volume) || !dash() || !read_hex(text, at, 16, stamp.index) || !dash() ||
        !read_hex(text, at, 16, stamp.size) || !dash() || !read_hex(text, at, 16, stamp.written)) {
        return false;
    }
    stamp.volume = static_cast<std::uint32_t>(volume);
    return true;
}

bool read_field_end(const std::wstring& text, std::size_t& at)
{
    return at < text.size() && text[at++] == FIELD_END;
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
        record = C_journal_record();
        return true;
    }
    const std::size_t tab = line.find(FIELD_END);
    if (tab == std::wstring::npos) return false;
    const std::wstring tag = line.substr(0, tab);
    for (const C_step_form& form : STEP_FORMS) {
        if (tag != form.tag) continue;
        record = C_journal_record();
        record.step = form.step;
        std::size_t at = tab + 1;
        if (form.places_item && !(read_stamp(line, at, record.placed) && read_field_end(line, at))) return false;
        if (form.keeps_original && !(read_stamp(line, at, record.original) && read_field_end(line, at))) {
            return false;
        }
        record.rel = line.substr(at);
        return is_trusted_path(record.rel);
    }
    return false;
}

std::wstring installation_line(const C_file_stamp& installation)
{
    std::wstring line = INSTALLATION_TAG + FIELD_END;
    append_stamp(installation, line);
    return line + LINE_END;
}

// Whether `text`, all that reached the disk, is the start of some header.
bool is_header_start(const std::wstring& text)
{
    if (text.size() <= JOURNAL_START.size()) return JOURNAL_START.compare(0, text.size(), text) == 0;
    if (text.compare(0, JOURNAL_START.size(), JOURNAL_START) != 0) return false;
    const std::wstring rest = text.substr(JOURNAL_START.size());
    const std::wstring tag = INSTALLATION_TAG + FIELD_END;
    if (rest.size() <= tag.size()) return tag.compare(0, rest.size(), rest) == 0;
    if (rest.compare(0, tag.size(), tag) != 0) return false;
    return rest.find_first_not_of(L"0123456789abcdef-\r", tag.size()) == std::wstring::npos;
}

}  // namespace

bool step_places_item(journal_step step)
{
    const C_step_form* form = form_of(step);
    return form && form->places_item;
}

bool step_keeps_original(journal_step step)
{
    const C_step_form* form = form_of(step);
    return form && form->keeps_original;
}

std::string journal_header_bytes(const C_file_stamp& installation)
{
    std::string bytes;
    append_utf16le(JOURNAL_START + installation_line(installation), bytes);
    return bytes;
}

void append_journal_record(const C_journal_record& record, std::string& out)
{
    const C_step_form* form = form_of(record.step);
    std::wstring line = form ? form->tag : DONE_LINE;
    if (form) {
        line += FIELD_END;
        if (form->places_item) {
            append_stamp(record.placed, line);
            line += FIELD_END;
        }
        if (form->keeps_original) {
            append_stamp(record.original, line);
            line += FIELD_END;
        }
        line += record.rel;
    }
    append_utf16le(line + LINE_END, out);
}

journal_reading read_journal_records(const std::string& bytes, C_journal& journal)
{
    journal = C_journal();
    std::wstring text = from_utf16le(bytes);
    // What the system made longer but never wrote reads as zeros.
    const std::size_t written = text.find_last_not_of(L'\0');
    text.erase(written == std::wstring::npos ? 0 : written + 1);

    const std::size_t first_end = text.find(LINE_END);
    const std::size_t header_end = first_end == std::wstring::npos ? first_end : text.find(LINE_END, first_end + 2);
    if (header_end == std::wstring::npos) {
        return is_header_start(text) ? journal_reading::unwritten : journal_reading::untrusted;
    }
    if (text.compare(0, JOURNAL_START.size(), JOURNAL_START) != 0 || first_end + 2 != JOURNAL_START.size()) {
        return journal_reading::untrusted;
    }
    std::size_t at = JOURNAL_START.size();
    const bool tagged = text.compare(at, INSTALLATION_TAG.size(), INSTALLATION_TAG) == 0;
    at += INSTALLATION_TAG.size();
    if (!tagged || !read_field_end(text, at) || !read_stamp(text, at, journal.installation) || at != header_end) {
        journal = C_journal();
        return journal_reading::untrusted;
    }

    bool done = false;
    for (std::size_t start = header_end + 2;;) {
        const std::size_t end = text.find(LINE_END, start);
        if (end == std::wstring::npos) return journal_reading::trusted;
        C_journal_record record;
        if (done || !read_record(text.substr(start, end - start), record)) {
            journal = C_journal();
            return journal_reading::untrusted;
        }
        done = record.step == journal_step::done;
        journal.records.push_back(std::move(record));
        start = end + 2;
    }
}
