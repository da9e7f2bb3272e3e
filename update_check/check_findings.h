#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What the checker of an update folder found, in the form compilers use.
enum class finding_level { error, warning };

struct C_check_finding {
    finding_level level = finding_level::error;
    std::wstring place;  // "update.ini", "gamedata" or "gamedata\<path>"
    int line = 0;        // counted from 1; 0 where there is none
    std::wstring text;
};

// Findings that name a place without a line.
inline C_check_finding error_at(std::wstring place, std::wstring text)
{
    return C_check_finding{finding_level::error, std::move(place), 0, std::move(text)};
}
inline C_check_finding warning_at(std::wstring place, std::wstring text)
{
    return C_check_finding{finding_level::warning, std::move(place), 0, std::move(text)};
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
