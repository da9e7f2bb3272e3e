#pragma once
#include <cstdint>

// Owns one system handle from the call that opens it, `C_scoped_handle
// file(CreateFileW(...))`, to the end of its scope, and closes it with its
// policy's `close` unless it holds the policy's `empty()` value, which a failed
// open gives. Move-only. A policy names `handle_type`, `empty()` and `close`.
template <typename Policy>
class C_scoped {
public:
    using handle_type = typename Policy::handle_type;

    C_scoped() = default;
    explicit C_scoped(handle_type handle) : handle_(handle) {}
    ~C_scoped() { reset(); }
    C_scoped(C_scoped&& other) noexcept : handle_(other.release()) {}
    C_scoped& operator=(C_scoped&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    C_scoped(const C_scoped&) = delete;
    C_scoped& operator=(const C_scoped&) = delete;

    explicit operator bool() const { return handle_ != Policy::empty(); }
    handle_type get() const { return handle_; }

    // Lets go of the handle without closing it.
    handle_type release()
    {
        const handle_type handle = handle_;
        handle_ = Policy::empty();
        return handle;
    }

    // Closes what is held and takes `handle` instead.
    void reset(handle_type handle = Policy::empty())
    {
        if (handle_ != Policy::empty()) Policy::close(handle_);
        handle_ = handle;
    }

    // For a call that opens into an out-parameter (RegOpenKeyExW): closes what
    // is held and gives the place the call writes the new handle to.
    handle_type* receive()
    {
        reset();
        return &handle_;
    }

private:
    handle_type handle_ = Policy::empty();
};

// Files as CreateFileW opens them, whose failure gives INVALID_HANDLE_VALUE.
// Spelt without the platform's headers (a HANDLE is a void*), so that a class
// holding a file keeps <windows.h> out of its own header; closed in
// scoped_handle.cpp. The other handle kinds are in scoped_system.h.
struct file_handle_policy {
    using handle_type = void*;
    static handle_type empty() { return reinterpret_cast<handle_type>(static_cast<std::intptr_t>(-1)); }
    static void close(handle_type handle);
};

using C_scoped_handle = C_scoped<file_handle_policy>;
