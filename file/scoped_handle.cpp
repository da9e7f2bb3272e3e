#include "file/scoped_handle.h"

#include <windows.h>

#include <type_traits>

static_assert(std::is_same<HANDLE, file_handle_policy::handle_type>::value, "a HANDLE is a void*");

void file_handle_policy::close(handle_type handle)
{
    CloseHandle(handle);
}
