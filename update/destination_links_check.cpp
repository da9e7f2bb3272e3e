#include "update/destination_links_check.h"

#include "copy_engine/destination_links.h"
#include "update/message_helpers.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"

bool check_destination_links(const std::vector<C_copy_entry>& entries)
{
    C_destination_links links(UpdateSettings.dest_dir);
    std::wstring last_folder = L"\\";
    for (const C_copy_entry& entry : entries) {
        for (const C_copy_item& file : entry.files) {
            const std::size_t slash = file.rel.rfind(L'\\');
            const std::wstring folder = slash == std::wstring::npos ? std::wstring() : file.rel.substr(0, slash);
            if (folder == last_folder) continue;
            last_folder = folder;
            const std::wstring link = links.other_drive_link(folder);
            if (!link.empty()) {
                report_failure(msg_dest_on_other_drive(link));
                return false;
            }
        }
    }
    return true;
}
