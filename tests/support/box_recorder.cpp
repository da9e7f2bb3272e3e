#include "support/box_recorder.h"

namespace {
C_box_recorder* active_recorder = nullptr;
}

C_box_recorder::C_box_recorder()
{
    active_recorder = this;
    previous_ = set_message_box_handler(&C_box_recorder::record);
}

C_box_recorder::~C_box_recorder()
{
    set_message_box_handler(previous_);
    active_recorder = nullptr;
}

std::vector<std::wstring> C_box_recorder::texts() const
{
    std::vector<std::wstring> result;
    for (const auto& box : boxes_) result.push_back(box.text);
    return result;
}

int C_box_recorder::record(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    C_box_recorder& self = *active_recorder;
    self.boxes_.push_back(C_shown_box{text, caption, flags, owner});
    if (self.answers_.empty()) return IDOK;
    const int result = self.answers_.front();
    self.answers_.pop_front();
    return result;
}
