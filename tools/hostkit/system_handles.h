// The kinds of system handle the stand-in host, the test bed and the
// benchmark open, each owned by the one handle owner.
#pragma once

#include <windows.h>

#include "support/unique_handle.h"

// FindFirstFile's search: INVALID_HANDLE_VALUE when there is none.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};

// Events, threads, files.
using UniqueKernelHandle = UniqueHandle<NullWhenEmptyTraits<HANDLE, CloseHandle>>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueModule = UniqueHandle<NullWhenEmptyTraits<HMODULE, FreeLibrary>>;
using UniqueHook = UniqueHandle<NullWhenEmptyTraits<HHOOK, UnhookWindowsHookEx>>;
