#pragma once

// Every change that the update's journaled steps make on disk, on the way to a
// complete update or back, asks here first. Only a test answers no: it stops the
// steps there, as a killed process stops, to show that every such point recovers.
bool disk_step_allowed();

// Installs the test's answer for every later step (null: always yes) and
// returns the previous one.
using disk_step_hook = bool (*)();
disk_step_hook set_disk_step_hook(disk_step_hook hook);
