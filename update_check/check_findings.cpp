#include "update_check/check_findings.h"

#include <algorithm>

#include "console/json_text.h"

namespace {

struct C_kind_row {
    finding_level level;
    const wchar_t* code;
};

const C_kind_row KIND_ROWS[] = {
#define UPDATE_FINDING_KIND_ROW(name, level, code) {finding_level::level, L"" code},
    UPDATE_FINDING_KINDS(UPDATE_FINDING_KIND_ROW)
#undef UPDATE_FINDING_KIND_ROW
};

std::size_t count_level(const C_check_result& result, finding_level level)
{
    return static_cast<std::size_t>(std::count_if(result.findings.begin(), result.findings.end(),
                                                  [level](const C_check_finding& f) { return f.level() == level; }));
}

std::wstring counted(std::uint64_t count, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

const wchar_t* level_name(finding_level level)
{
    return level == finding_level::error ? L"error" : L"warning";
}

std::wstring finding_json(const C_check_finding& finding)
{
    return L"{\"file\": " + json_quote(finding.place) +
           L", \"line\": " + (finding.line > 0 ? std::to_wstring(finding.line) : L"null") +
           L", \"severity\": \"" + level_name(finding.level()) + L"\", \"code\": \"" + code_of(finding.kind) +
           L"\", \"message\": " + json_quote(finding.text) + L"}";
}

}  // namespace

finding_level level_of(finding_kind kind)
{
    return KIND_ROWS[static_cast<std::size_t>(kind)].level;
}

const wchar_t* code_of(finding_kind kind)
{
    return KIND_ROWS[static_cast<std::size_t>(kind)].code;
}

std::size_t C_check_result::errors() const
{
    return count_level(*this, finding_level::error);
}

std::size_t C_check_result::warnings() const
{
    return count_level(*this, finding_level::warning);
}

std::wstring finding_line(const C_check_finding& finding)
{
    std::wstring line = finding.place;
    if (finding.line > 0) line += L":" + std::to_wstring(finding.line);
    return line + L": " + level_name(finding.level()) + L": " + finding.text;
}

std::wstring summary_line(const C_check_result& result)
{
    return counted(result.errors(), L"error", L"errors") + L", " +
           counted(result.warnings(), L"warning", L"warnings") + L"; the update copies " +
           counted(result.copied_files, L"file", L"files") + L", " +
           counted(result.copied_bytes, L"byte", L"bytes") +
           (result.removed_files ? L" and removes " + counted(result.removed_files, L"file", L"files") : L"");
}

std::wstring result_json(const C_check_result& result, const std::vector<C_json_member>& more)
{
    std::wstring text = L"{\n  \"findings\": [";
    for (std::size_t i = 0; i < result.findings.size(); ++i) {
        text += (i == 0 ? L"\n    " : L",\n    ") + finding_json(result.findings[i]);
    }
    text += result.findings.empty() ? L"],\n" : L"\n  ],\n";
    std::vector<C_json_member> members{{L"errors", std::to_wstring(result.errors())},
                                       {L"warnings", std::to_wstring(result.warnings())},
                                       {L"copied_files", std::to_wstring(result.copied_files)},
                                       {L"copied_bytes", std::to_wstring(result.copied_bytes)},
                                       {L"removed_files", std::to_wstring(result.removed_files)}};
    members.insert(members.end(), more.begin(), more.end());
    for (std::size_t i = 0; i < members.size(); ++i) {
        text += L"  " + json_quote(members[i].name) + L": " + members[i].value + (i + 1 < members.size() ? L",\n" : L"\n");
    }
    return text + L"}\n";
}
