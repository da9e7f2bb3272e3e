#include "update/message_box.h"

namespace {

int system_message_box(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

message_box_handler current_handler = system_message_box;

}  // namespace

int show_message_box(const std::wstring& text, const std::wstring& caption, UINT flags, HWND owner)
{
    return current_handler(owner, text, caption, flags);
}

message_box_handler set_message_box_handler(message_box_handler handler)
{
    const message_box_handler previous = current_handler;
    current_handler = handler ? handler : system_message_box;
    return previous;
}
