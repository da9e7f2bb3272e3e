#include "util/text/lines.h"

void split_lines(const std::wstring& text, std::vector<std::wstring>& lines)
{
    std::wstring::size_type start = 0;
    for (auto feed = text.find(L'\n'); feed != std::wstring::npos; feed = text.find(L'\n', start)) {
        lines.push_back(text.substr(start, feed - start));
        start = feed + 1;
    }
    lines.push_back(text.substr(start));
}
