#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "update_check/finding_kinds.h"

// What the checker of an update folder found, in the form compilers use.
enum class finding_level { error, warning };

enum class finding_kind {
#define UPDATE_FINDING_KIND_NAME(name, level, code) name,
    UPDATE_FINDING_KINDS(UPDATE_FINDING_KIND_NAME)
#undef UPDATE_FINDING_KIND_NAME
};

finding_level level_of(finding_kind kind);
// The stable code of the kind, as --format=json gives it: "entry-missing".
const wchar_t* code_of(finding_kind kind);

struct C_check_finding {
    finding_kind kind = finding_kind::script_unreadable;
    std::wstring place;  // "update.ini", "gamedata" or "gamedata\<path>"
    int line = 0;        // counted from 1; 0 where there is none
    std::wstring text;

    finding_level level() const { return level_of(kind); }
};

inline C_check_finding finding_on(finding_kind kind, std::wstring place, int line, std::wstring text)
{
    return C_check_finding{kind, std::move(place), line, std::move(text)};
}
// A finding that names a place without a line.
inline C_check_finding finding_at(finding_kind kind, std::wstring place, std::wstring text)
{
    return finding_on(kind, std::move(place), 0, std::move(text));
}

struct C_check_result {
    std::vector<C_check_finding> findings;  // in the order they are to be read
    std::uint64_t copied_files = 0;         // what the copy would go through, entry by entry
    std::uint64_t copied_bytes = 0;
    std::uint64_t removed_files = 0;        // what the #DELETE_FILE entries name, each file once

    std::size_t errors() const;
    std::size_t warnings() const;
};

// "update.ini:12: error: TEXT", or "gamedata\a.dat: warning: TEXT" without a line.
std::wstring finding_line(const C_check_finding& finding);
// "2 errors, 1 warning; the update copies 14 files, 1048576 bytes", followed by
// " and removes 3 files" when it removes any.
std::wstring summary_line(const C_check_result& result);

// A JSON value already spelt out: a number, a quoted string, an array.
struct C_json_member {
    std::wstring name;
    std::wstring value;
};

// The result as one JSON object, ended by a line feed: "findings" (each with
// "file", "line" or null, "severity", "code" and "message"), "errors",
// "warnings", "copied_files", "copied_bytes" and "removed_files", then the
// members of `more`.
std::wstring result_json(const C_check_result& result, const std::vector<C_json_member>& more = {});
