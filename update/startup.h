#pragma once
#include <windows.h>

// The whole life of the updater: prepares the process, runs the update, releases
// what it prepared. Returns the exit code, which is always 0.
int run_updater(HINSTANCE instance);
