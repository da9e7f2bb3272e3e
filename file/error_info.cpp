#include "file/error_info.h"

#include <cerrno>
#include <cstdlib>

namespace {

std::vector<C_error_info>& thread_list()
{
    // Made once per thread and never freed: MinGW's emulated thread-local
    // storage frees a thread's variables before their destructors run, so a
    // thread_local with a destructor crashes every thread but the main one as
    // it ends. A thread's few records are all that is left behind.
    thread_local std::vector<C_error_info>* list = nullptr;
    if (!list) list = new std::vector<C_error_info>();
    return *list;
}

void replace_with(C_error_info record)
{
    auto& list = thread_list();
    list.clear();
    list.push_back(std::move(record));
}

}  // namespace

int runtime_errno()
{
#ifdef _WIN32
    int value = 0;
    _get_errno(&value);
    return value;
#else
    return errno;
#endif
}

void set_last_error(error_kind kind, int code, const std::wstring& context)
{
    replace_with(C_error_info{kind, code, std::wstring(), context});
}

void set_last_error_message(const std::wstring& message, const std::wstring& context)
{
    replace_with(C_error_info{error_kind::message, 0, message, context});
}

void set_last_errno_error(const std::wstring& context)
{
    set_last_error(error_kind::crt, runtime_errno(), context);
}

void clear_last_error()
{
    thread_list().clear();
}

const std::vector<C_error_info>& last_error_list()
{
    return thread_list();
}

const C_error_info* last_error()
{
    const auto& list = thread_list();
    return list.empty() ? nullptr : &list.back();
}
