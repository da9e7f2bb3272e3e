#include "update/message_helpers.h"

#include <windows.h>

#include "update/message_box.h"
#include "update_core/messages.h"
#include "update_core/update_settings.h"

void notify_user(const std::wstring& text)
{
    show_message_box(text, UpdateSettings.update_title, MB_OK | MB_ICONINFORMATION);
}

void warn_user(const std::wstring& text)
{
    show_message_box(text, UpdateSettings.update_title, MB_OK | MB_ICONWARNING);
}

void report_failure(const std::wstring& text)
{
    warn_user(text);
    warn_user(MSG_UPDATE_FAILED);
}
