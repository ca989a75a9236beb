#include "support/stack_guard.h"

#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>

extern "C" {

// A fixed value until the load seeds it; never zero, so a string copy that
// runs over the guard cannot rebuild it.
uintptr_t __stack_chk_guard = 0x4C4E5821;

// The stack is smashed: nothing on it can be trusted, so no handler runs and
// the process ends at once with the platform's code for this failure.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(STATUS_STACK_BUFFER_OVERRUN));
    for (;;) {
    }
}
}

// Not inlined and unchecked itself: the guard changes while it runs.
__attribute__((noinline, no_stack_protector)) void SeedStackGuard() {
    uintptr_t seed = 0;
    if (!RtlGenRandom(&seed, sizeof seed) || seed == 0) {
        // No random source: what the moment and the process offer.
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        seed = static_cast<uintptr_t>(counter.QuadPart) ^ GetTickCount() ^ (GetCurrentProcessId() << 16) ^
               GetCurrentThreadId() ^ reinterpret_cast<uintptr_t>(&counter);
    }
    __stack_chk_guard = seed != 0 ? seed : 0x4C4E5821;
}
