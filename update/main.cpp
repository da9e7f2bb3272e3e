#include <windows.h>

#include "update/startup.h"

// The command line is ignored: the update is described by update.ini alone.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    return run_updater(instance);
}
