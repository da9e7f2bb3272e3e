#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What start-up and the window framework share for the life of the process.
struct C_app_state {
    HINSTANCE instance = nullptr;
    HWND main_window = nullptr;     // nothing sets it in the updater; stays none
    std::wstring module_dir;        // the updater's own folder, made current at start-up
    std::vector<HWND> windows;      // top-level framework windows, in order of creation
    bool quit_seen = false;         // the pump has taken WM_QUIT off the queue
};

extern C_app_state app_state;
