#include "support/current_dir.h"

#include <stdexcept>

C_current_dir::C_current_dir(const std::wstring& folder) : scope_(folder)
{
    if (!scope_.entered()) throw std::runtime_error("cannot enter the test folder");
}
