#pragma once
#include <string>

// The caption of every box is the update's title as it stands when the box is
// shown: empty before the script has given one.
extern const wchar_t* const MSG_UPDATE_FAILED;
extern const wchar_t* const MSG_UPDATE_SUCCEEDED;

void notify_user(const std::wstring& text);     // information icon
void warn_user(const std::wstring& text);       // warning icon
void report_failure(const std::wstring& text);  // the warning, then the general failure box
