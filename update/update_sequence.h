#pragma once

// The update's steps, in the order the sequence runs them. Each returns false
// only after it has told the user why.
bool clear_update_settings();
bool load_update_script();
bool validate_update_script();
bool check_update_sources();
bool read_install_info();
bool recover_interrupted_update();
bool check_install_folder();
bool check_delete_entries();
bool confirm_update();
bool run_copy_job();

// Runs the steps in order, stopping at the first that fails; on success tells
// the user so.
bool run_update_sequence();
