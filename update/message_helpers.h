#pragma once
#include <string>

// The caption of every box but start-up's is the update's title as it stands
// when the box is shown: empty before the script has given one.
void notify_user(const std::wstring& text);     // information icon
void warn_user(const std::wstring& text);       // warning icon
void report_failure(const std::wstring& text);  // the warning, then the general failure box
