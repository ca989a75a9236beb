// One owner for every kind of system handle, in the plug-in and in the tools
// around it: the traits name the kind's empty value and how it is let go. A
// registry key is the plug-in's one kind; the tools add theirs
// (tools/hostkit/system_handles.h).
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }

    // For functions that hand back a new handle through a pointer: the old
    // one is let go first.
    Handle* receive() {
        reset();
        return &handle_;
    }
    Handle release() { return std::exchange(handle_, Traits::Empty()); }
    void reset(Handle handle = Traits::Empty()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::Empty()) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Empty();
};

// The usual kind of handle: null when there is none, let go by one function.
template <typename HandleType, auto CloseFunction>
struct NullWhenEmptyTraits {
    using Handle = HandleType;
    static Handle Empty() { return nullptr; }
    static void Close(Handle handle) { CloseFunction(handle); }
};

using RegistryKey = UniqueHandle<NullWhenEmptyTraits<HKEY, RegCloseKey>>;
