#pragma once

// update_make.exe OLD NEW OUT --reg-path P --game-title T --update-title U
// [--exclude PATTERN]... [--updater FILE] [--dry-run] [--strict] [--format=F]:
// the whole command, from its arguments to its exit status (as the checker's: 0
// no error, 1 errors, or warnings with --strict, 2 a usage error;
// STATUS_CONTROL_C_EXIT when Ctrl-C stopped it).
int run_make_command(int argc, const wchar_t* const argv[]);
