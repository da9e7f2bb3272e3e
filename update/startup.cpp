#include "update/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include <clocale>

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

// COM for this thread while the object lives; released only if it was taken.
class C_com_scope {
public:
    C_com_scope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~C_com_scope()
    {
        if (initialised_) CoUninitialize();
    }
    C_com_scope(const C_com_scope&) = delete;
    C_com_scope& operator=(const C_com_scope&) = delete;

private:
    bool initialised_;
};

// A library loaded while the object lives; none when it could not be loaded.
class C_loaded_library {
public:
    explicit C_loaded_library(const wchar_t* name) : module_(LoadLibraryW(name)) {}
    ~C_loaded_library()
    {
        if (module_) FreeLibrary(module_);
    }
    C_loaded_library(const C_loaded_library&) = delete;
    C_loaded_library& operator=(const C_loaded_library&) = delete;

    explicit operator bool() const { return module_ != nullptr; }

private:
    HMODULE module_;
};

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
    const C_com_scope com;
    // The class set the program has always asked for, without ICC_PROGRESS_CLASS:
    // the library, once loaded, registers the progress bar the dialog uses anyway.
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX),
                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);

    const C_loaded_library rich_edit(L"riched32.dll");
    if (!rich_edit) {
        show_message_box(MSG_RICH_EDIT_NOT_LOADED, MSG_ERROR_CAPTION, MB_OK | MB_ICONWARNING,
                         app_state.main_window);
        return 0;
    }

    run_update_sequence();
    return 0;
}
