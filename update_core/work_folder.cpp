#include "update_core/work_folder.h"

#include "util/text.h"

const wchar_t* const UPDATE_WORK_FOLDER = L"~update_rollback";

bool lands_in_work_folder(const std::wstring& rel)
{
    // The first component that names something: empty and "." parts name the
    // folder they stand in.
    std::size_t start = 0;
    while (start <= rel.size()) {
        std::size_t end = rel.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = rel.size();
        std::wstring part = rel.substr(start, end - start);
        if (!part.empty() && part != L".") {
            const std::size_t kept = part.find_last_not_of(L". ");
            part.erase(kept == std::wstring::npos ? 0 : kept + 1);
            return to_lower_ascii(part) == UPDATE_WORK_FOLDER;
        }
        start = end + 1;
    }
    return false;
}
