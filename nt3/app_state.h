#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What start-up and the window framework share for the life of the process. The
// program that uses the framework defines the one `app_state` and fills it in at
// start-up; the framework only reads and keeps its window bookkeeping here.
struct C_app_state {
    HINSTANCE instance = nullptr;   // for loading dialog templates
    HWND main_window = nullptr;     // its destruction ends the message loop; nothing sets it in the updater
    std::wstring module_dir;        // the program's own folder, made current at start-up
    std::vector<HWND> windows;      // top-level framework windows, in order of creation
    bool quit_seen = false;         // the pump has taken WM_QUIT off the queue
};

extern C_app_state app_state;
