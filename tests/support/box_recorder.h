#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "update/message_box.h"

// Replaces the program's message boxes while it lives: records every box and
// answers with the queued answers in turn (IDOK once the queue is empty).
struct C_shown_box {
    std::wstring text;
    std::wstring caption;
    UINT flags = 0;
    HWND owner = nullptr;
};

class C_box_recorder {
public:
    C_box_recorder();
    ~C_box_recorder();
    C_box_recorder(const C_box_recorder&) = delete;
    C_box_recorder& operator=(const C_box_recorder&) = delete;

    void answer(int result) { answers_.push_back(result); }
    const std::vector<C_shown_box>& boxes() const { return boxes_; }
    std::vector<std::wstring> texts() const;

private:
    static int record(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);
    std::vector<C_shown_box> boxes_;
    std::deque<int> answers_;
    message_box_handler previous_;
};
