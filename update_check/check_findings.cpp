#include "update_check/check_findings.h"

#include <algorithm>

namespace {

std::size_t count_level(const C_check_result& result, finding_level level)
{
    return static_cast<std::size_t>(std::count_if(result.findings.begin(), result.findings.end(),
                                                  [level](const C_check_finding& f) { return f.level == level; }));
}

std::wstring counted(std::uint64_t count, const wchar_t* one, const wchar_t* many)
{
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

}  // namespace

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
    line += finding.level == finding_level::error ? L": error: " : L": warning: ";
    return line + finding.text;
}

std::wstring summary_line(const C_check_result& result)
{
    return counted(result.errors(), L"error", L"errors") + L", " +
           counted(result.warnings(), L"warning", L"warnings") + L"; the update copies " +
           counted(result.copied_files, L"file", L"files") + L", " +
           counted(result.copied_bytes, L"byte", L"bytes") +
           (result.removed_files ? L" and removes " + counted(result.removed_files, L"file", L"files") : L"");
}
