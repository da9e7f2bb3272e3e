#pragma once
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_reg_key.h"
#include "support/tree_snapshot.h"
#include "support/ui_driver.h"
#include "support/wine_app_settings.h"

// One player's machine for one run of the real, built update.exe: a fresh update
// folder (update.exe, update.ini, gamedata), a game installation folder, the
// game's registry key below HKEY_LOCAL_MACHINE\Software, and a third folder that
// the updater is started from. Everything is removed when the object goes,
// whatever the test's outcome.
class C_update_fixture {
public:
    // `program_name` is the name update.exe is copied under: a run that needs
    // Wine settings of its own (a disabled DLL) takes a name no other run uses.
    explicit C_update_fixture(const std::wstring& program_name = L"update.exe");
    ~C_update_fixture();
    C_update_fixture(const C_update_fixture&) = delete;
    C_update_fixture& operator=(const C_update_fixture&) = delete;

    const std::wstring& update_dir() const { return update_dir_; }
    std::wstring source_dir() const { return update_dir_ + L"\\gamedata"; }
    const std::wstring& game_dir() const { return game_dir_; }
    const std::wstring& start_dir() const { return start_dir_; }
    // The key's path below "Software\", as the script's #REG_PATH names it.
    const std::wstring& reg_path() const { return registry_.reg_path(); }
    C_test_reg_key& registry() { return registry_; }
    C_wine_app_settings& wine_settings() { return wine_settings_; }

    // update.ini as an update ships it: the text stored in code page 932.
    void write_script(const std::wstring& text);
    // The usual script: the registry path of this machine, both titles, and one
    // #COPY_FILE line per entry (backslashes and quotes escaped).
    void write_script(const std::wstring& update_title, const std::wstring& game_title,
                      const std::vector<std::wstring>& entries);

    void add_source_file(const std::wstring& relative, const std::string& bytes);
    void add_source_folder(const std::wstring& relative);
    void add_game_file(const std::wstring& relative, const std::string& bytes);

    // Puts the game folder below `parent` (another drive, say) instead of the
    // temporary folder; call before install_game.
    void move_game_to(const std::wstring& parent);
    // A full setup as the game's installer leaves it: the engine's executable in
    // the game folder and the registry values exe_dir, dat_dir and dat_setup.
    void install_game();

    struct C_state {
        C_tree update;
        C_tree game;
        C_tree start;
    };
    C_state snapshot() const;

    // Starts update.exe from the start folder and answers its boxes in order.
    C_run run(const std::vector<box_answer>& answers);
    // The same with further options; the program and its working folder are
    // filled in here.
    C_run run_with(C_run_options options);

private:
    C_temp_dir root_;
    C_test_reg_key registry_;
    std::wstring program_name_;
    C_wine_app_settings wine_settings_;
    std::wstring update_dir_;
    std::wstring game_dir_;
    std::wstring start_dir_;
    std::wstring moved_game_dir_;  // removed separately: it lies outside root_
};

// The built update.exe, update_check.exe and update_make.exe beside which the
// test programs are built.
std::wstring built_updater_path();
std::wstring built_checker_path();
std::wstring built_maker_path();
// Script text as an update ships it: in code page 932, whatever the test
// system's own code page. Throws when the text has characters 932 lacks.
std::string to_code_page_932(const std::wstring& text);
// A program name that no other run of any test program uses.
std::wstring unique_program_name(const std::wstring& stem);

// The boxes of the updater, as the player sees them.
C_box notice_box(const std::wstring& caption, const std::wstring& text);
C_box warning_box(const std::wstring& caption, const std::wstring& text);
// The failure convention: the specific warning, then the general failure warning.
std::vector<C_box> failure_boxes(const std::wstring& caption, const std::wstring& text);
C_box consent_box(const std::wstring& caption, const std::wstring& destination);
C_box success_box(const std::wstring& caption);
C_box stopped_box(const std::wstring& caption);
// A file of the installation that another program holds, before the prompt.
C_box in_use_box(const std::wstring& caption, const std::wstring& path);
