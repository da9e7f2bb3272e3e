#include "update/messages.h"

#include "update/message_box.h"
#include "update/update_settings.h"

const wchar_t* const MSG_UPDATE_FAILED = L"アップデートに失敗しました。";
const wchar_t* const MSG_UPDATE_SUCCEEDED = L"アップデートは正常に終了しました。";

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
