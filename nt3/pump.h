#pragma once

namespace NT3 {

// Handles every message waiting in the calling thread's queue and returns without
// waiting for more. False once the quit message has been taken, now or earlier.
bool pump_messages();

}  // namespace NT3
