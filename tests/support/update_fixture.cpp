#include "support/expected_texts.h"
#include "support/update_fixture.h"

#include <windows.h>

#include <stdexcept>

#include "update_make/script_writer.h"
#include "util/text/code_page_932.h"
#include "util/fs/path.h"
#include "util/text/text.h"

namespace {

std::wstring unique_suffix()
{
    static unsigned counter = 0;
    return std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount()) + L"_" +
           std::to_wstring(++counter);
}

// A program built beside the test programs, from its path relative to them.
std::wstring built_program_path(const std::string& relative)
{
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring joined =
        path_get_folder(own) + L"\\" + replace_all(std::wstring(relative.begin(), relative.end()), L"/", L"\\");
    wchar_t full[MAX_PATH] = {};
    if (!GetFullPathNameW(joined.c_str(), MAX_PATH, full, nullptr)) return joined;
    return full;
}

}  // namespace

std::string to_code_page_932(const std::wstring& text)
{
    std::string bytes;
    if (!spell_in_code_page_932(text, bytes)) throw std::runtime_error("script text not representable in code page 932");
    return bytes;
}

std::wstring built_updater_path()
{
    return built_program_path(UPDATER_FROM_TESTS);
}

std::wstring built_checker_path()
{
    return built_program_path(CHECKER_FROM_TESTS);
}

std::wstring built_maker_path()
{
    return built_program_path(MAKER_FROM_TESTS);
}

std::wstring unique_program_name(const std::wstring& stem)
{
    return stem + L"_" + unique_suffix() + L".exe";
}

C_update_fixture::C_update_fixture(const std::wstring& program_name)
    : program_name_(program_name), wine_settings_(program_name), update_dir_(root_ / L"update"),
      game_dir_(root_ / L"game"), start_dir_(root_ / L"elsewhere")
{
    // Xvfb has no window manager, and Wine waits two seconds for one to withdraw
    // every box that closes, unless the program's windows are left unmanaged.
    wine_settings_.set(L"X11 Driver", L"Managed", L"N");
    make_folder(update_dir_);
    make_folder(game_dir_);
    make_folder(start_dir_);
    const std::wstring updater = built_updater_path();
    if (!CopyFileW(updater.c_str(), (update_dir_ + L"\\" + program_name_).c_str(), TRUE)) {
        throw std::runtime_error("cannot copy the built update.exe into the update folder");
    }
}

C_update_fixture::~C_update_fixture()
{
    if (!moved_game_dir_.empty()) remove_folder_tree(moved_game_dir_);
}

void C_update_fixture::write_script(const std::wstring& text)
{
    write_file(update_dir_ + L"\\update.ini", to_code_page_932(text));
}

void C_update_fixture::write_script(const std::wstring& update_title, const std::wstring& game_title,
                                    const std::vector<std::wstring>& entries)
{
    C_update_settings values;
    values.reg_path = reg_path();
    values.game_title = game_title;
    values.update_title = update_title;
    values.copy_files = entries;
    write_script(compose_update_script(update_title, values));
}

void C_update_fixture::add_source_file(const std::wstring& relative, const std::string& bytes)
{
    write_file(source_dir() + L"\\" + relative, bytes);
}

void C_update_fixture::add_source_folder(const std::wstring& relative)
{
    make_folder(source_dir() + L"\\" + relative);
}

void C_update_fixture::add_game_file(const std::wstring& relative, const std::string& bytes)
{
    write_file(game_dir_ + L"\\" + relative, bytes);
}

void C_update_fixture::move_game_to(const std::wstring& parent)
{
    const std::wstring moved = parent + L"\\updater_game_" + unique_suffix();
    if (!CreateDirectoryW(moved.c_str(), nullptr)) throw std::runtime_error("cannot create the game folder");
    remove_folder_tree(game_dir_);
    moved_game_dir_ = moved;
    game_dir_ = moved;
}

void C_update_fixture::install_game()
{
    add_game_file(L"VelkorEngine.exe", "MZ engine");
    registry_.set_string(L"exe_dir", game_dir_);
    registry_.set_string(L"dat_dir", game_dir_ + L"\\dat");
    registry_.set_string(L"dat_setup", L"full");
}

C_update_fixture::C_state C_update_fixture::snapshot() const
{
    return C_state{snapshot_tree(update_dir_), snapshot_tree(game_dir_), snapshot_tree(start_dir_)};
}

C_run C_update_fixture::run(const std::vector<box_answer>& answers)
{
    C_run_options options;
    options.answers = answers;
    return run_with(options);
}

C_run C_update_fixture::run_with(C_run_options options)
{
    options.program = update_dir_ + L"\\" + program_name_;
    options.working_dir = start_dir_;
    return run_and_watch(options);
}

C_box notice_box(const std::wstring& caption, const std::wstring& text)
{
    return ok_box(box_icon::information, caption, text);
}

C_box warning_box(const std::wstring& caption, const std::wstring& text)
{
    return ok_box(box_icon::warning, caption, text);
}

std::vector<C_box> failure_boxes(const std::wstring& caption, const std::wstring& text)
{
    return {warning_box(caption, text), warning_box(caption, expected::update_failed)};
}

C_box consent_box(const std::wstring& caption, const std::wstring& destination)
{
    return yes_no_box(box_icon::information, caption,
                      expected::confirm_destination(destination),
                      IDNO);
}

C_box success_box(const std::wstring& caption)
{
    return notice_box(caption, expected::update_succeeded);
}

C_box stopped_box(const std::wstring& caption)
{
    return notice_box(caption, expected::update_cancelled);
}

C_box in_use_box(const std::wstring& caption, const std::wstring& path)
{
    return retry_cancel_box(box_icon::warning, caption, expected::dest_in_use(path));
}
