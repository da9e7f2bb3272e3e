#include <windows.h>

#include "update_make/make_command.h"

int wmain(int argc, wchar_t* argv[])
{
    // A drive without a disk must fail its call quietly, not show a system box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    return run_make_command(argc, argv);
}
