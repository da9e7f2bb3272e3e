#pragma once

// Ctrl-C, Ctrl-Break and closing the console ask a running make to stop: it
// stops at its next folder, file or chunk, removes what it had laid out and
// leaves OUT as it was. A second Ctrl-C or Ctrl-Break ends the process at once;
// the next make of the same OUT removes what that one left.

// Installs the console handler; call once, before the make starts.
void catch_make_interrupt();
bool make_interrupted();
// The make has stopped and cleaned up: a closing console may end the process.
void make_finished();
