#pragma once
#include <windows.h>

// The standard icons a message box can show.
enum class box_icon { none, information, warning, error, question, unknown };

const char* icon_name(box_icon icon);

// Which standard icon the icon control `control` (a window of any process)
// currently shows on the screen: its pixels are compared with the system's icons
// drawn over the same background. Icon handles cannot be compared across
// processes, because every process loads the system icons under handles of its
// own. Answers unknown while the control is not painted or shows something else.
box_icon icon_on_screen(HWND control);
