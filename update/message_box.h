#pragma once
#include <windows.h>

#include <string>

// Every message box of the program goes through here. The program shows real
// boxes (MessageBoxW); a test may install a handler that records and answers.
using message_box_handler = int (*)(HWND owner, const std::wstring& text,
                                    const std::wstring& caption, UINT flags);

int show_message_box(const std::wstring& text, const std::wstring& caption, UINT flags,
                     HWND owner = nullptr);

// Installs `handler` (null restores MessageBoxW) and returns the previous one.
message_box_handler set_message_box_handler(message_box_handler handler);
