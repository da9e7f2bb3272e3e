#pragma once
#include <string>

#include "copy_engine/copy_failure.h"

// The warning that tells the player what stopped the copy.
std::wstring copy_failure_message(const C_copy_failure& failure);
