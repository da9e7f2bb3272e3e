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
// Before the prompt, the #DELETE_FILE entries against the installation.
bool check_delete_entries();
// Before the prompt, what would stop the copy partway: the update's files
// held to the manifest it ships, files of the installation that cannot be
// replaced now, and the room on its drive.
bool check_ready_to_copy();
bool confirm_update();
bool run_copy_job();

// Runs the steps in order, stopping at the first that fails; on success tells
// the user so.
bool run_update_sequence();
