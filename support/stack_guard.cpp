// The stack guard's value, its seeding at load, and the end of a process
// whose guard check failed.
#include "support/stack_guard.h"

#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>

namespace {

// The guard until the load seeds it, and the one left when no seed can be
// had. Its first byte in memory is zero, as the seeded guard's is: a string
// copy that runs up to the guard stops at that byte, so an overrun made with
// string functions cannot write the guard back as it was, and a string read
// that runs into it ends there rather than telling the rest.
constexpr uintptr_t UnseededGuard = 0x4C4E5800;
constexpr uintptr_t FirstByteInMemory = 0xFF;

}  // namespace

extern "C" {

uintptr_t __stack_chk_guard = UnseededGuard;

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
    if (!RtlGenRandom(&seed, sizeof seed) || (seed & ~FirstByteInMemory) == 0) {
        // No random source: what the moment and the process offer.
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        seed = static_cast<uintptr_t>(counter.QuadPart) ^ GetTickCount() ^ (GetCurrentProcessId() << 16) ^
               GetCurrentThreadId() ^ reinterpret_cast<uintptr_t>(&counter);
    }
    seed &= ~FirstByteInMemory;
    __stack_chk_guard = seed != 0 ? seed : UnseededGuard;
}
