#include "update/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include <clocale>

#include "file/scoped_system.h"
#include "nt3/app_state.h"
#include "update/message_box.h"
#include "update/update_sequence.h"
#include "update_core/messages.h"
#include "util/fs/path.h"

namespace {

std::wstring module_path()
{
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

}  // namespace

int run_updater(HINSTANCE instance)
{
    std::setlocale(LC_ALL, "japanese");
    app_state.instance = instance;

    // "update.ini" and "gamedata" are found beside the executable, wherever the
    // updater was started from.
    app_state.module_dir = path_get_folder(module_path());
    SetCurrentDirectoryW(app_state.module_dir.c_str());

    // Released in reverse order on every way out: the library, then COM.
    const C_scoped_com com(SUCCEEDED(CoInitialize(nullptr)));
    // The class set the program asks for leaves out ICC_PROGRESS_CLASS:
    // the library, once loaded, registers the progress bar the dialog uses anyway.
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX),
                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);

    const C_scoped_library rich_edit(LoadLibraryW(L"riched32.dll"));
    if (!rich_edit) {
        show_message_box(MSG_RICH_EDIT_NOT_LOADED, MSG_ERROR_CAPTION, MB_OK | MB_ICONWARNING,
                         app_state.main_window);
        return 0;
    }

    run_update_sequence();
    return 0;
}
