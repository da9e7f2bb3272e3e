#include "update/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include <clocale>

#include "nt3/app_state.h"
#include "update/message_box.h"
#include "update/update_sequence.h"
#include "util/path.h"

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

    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX),
                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);

    HMODULE rich_edit = LoadLibraryW(L"riched32.dll");
    if (!rich_edit) {
        show_message_box(L"riched32.dll の読み込みに失敗しました。アプリケーションを終了します。",
                         L"エラー", MB_OK | MB_ICONWARNING, app_state.main_window);
        return 0;
    }

    run_update_sequence();

    FreeLibrary(rich_edit);
    CoUninitialize();
    return 0;
}
