// Seeding the stack guard: the random number with its first byte cleared, and
// what the moment and the process offer when the random source fails or gives
// nothing above that byte. The platform's functions are replaced in this
// program's own import table, for the one call.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "support/stack_guard.h"
#include "tests/testbed/expected_facts.h"
#include "tests/testbed/import_slot.h"

extern "C" uintptr_t __stack_chk_guard;

namespace {

// What the replaced functions hand out, and what they saw.
struct Platform {
    bool RandomSourceWorks = true;
    uintptr_t Random = 0;
    LONGLONG Counter = 0;
    bool CounterIsItsOwnAddress = false;  // the counter then cancels the stack address out
    DWORD Ticks = 0;
    DWORD ProcessId = 0;
    DWORD ThreadId = 0;
    int CounterReads = 0;
};
Platform Stub;

BOOLEAN WINAPI StubRandom(PVOID buffer, ULONG length) {
    if (!Stub.RandomSourceWorks || length != sizeof Stub.Random) return FALSE;
    *static_cast<uintptr_t*>(buffer) = Stub.Random;
    return TRUE;
}
BOOL WINAPI StubCounter(LARGE_INTEGER* counter) {
    ++Stub.CounterReads;
    counter->QuadPart =
        Stub.CounterIsItsOwnAddress ? static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(counter)) : Stub.Counter;
    return TRUE;
}
DWORD WINAPI StubTicks() { return Stub.Ticks; }
DWORD WINAPI StubProcessId() { return Stub.ProcessId; }
DWORD WINAPI StubThreadId() { return Stub.ThreadId; }

// The guard SeedStackGuard draws from the platform as Stub has it; the guard
// in force before is put back.
uintptr_t SeededWith(const Platform& platform) {
    Stub = platform;
    const uintptr_t saved = __stack_chk_guard;
    HMODULE self = GetModuleHandleA(nullptr);
    {
        const ImportRedirect random(self, "advapi32.dll", "SystemFunction036", reinterpret_cast<void*>(StubRandom));
        const ImportRedirect counter(self, "kernel32.dll", "QueryPerformanceCounter",
                                     reinterpret_cast<void*>(StubCounter));
        const ImportRedirect ticks(self, "kernel32.dll", "GetTickCount", reinterpret_cast<void*>(StubTicks));
        const ImportRedirect process(self, "kernel32.dll", "GetCurrentProcessId",
                                     reinterpret_cast<void*>(StubProcessId));
        const ImportRedirect thread(self, "kernel32.dll", "GetCurrentThreadId", reinterpret_cast<void*>(StubThreadId));
        SeedStackGuard();
    }
    const uintptr_t seeded = __stack_chk_guard;
    __stack_chk_guard = saved;
    return seeded;
}

// Every bit of the guard: at 64 bits a guard cut to 32 bits anywhere is caught.
constexpr uintptr_t WideRandom = static_cast<uintptr_t>(0x0123456789ABCDEFull);
constexpr uintptr_t TopBit = uintptr_t{1} << (8 * sizeof(uintptr_t) - 1);

TEST(StackGuardSeed, IsTheRandomNumberWithItsFirstByteZero) {
    Platform platform;
    platform.Random = WideRandom;
    EXPECT_EQ(SeededWith(platform), WideRandom & ~uintptr_t{0xFF});
    EXPECT_EQ(Stub.CounterReads, 0);
    platform.Random = ~uintptr_t{0};
    EXPECT_EQ(SeededWith(platform), ~uintptr_t{0xFF});
}

TEST(StackGuardSeed, WithoutAUsableRandomNumberComesFromTheMomentAndTheProcess) {
    Platform platform;
    platform.Counter = 0x7777777712345678;
    platform.Ticks = 0x00AB0000;
    platform.ProcessId = 0x0102;
    platform.ThreadId = 0x0300;
    for (const bool sourceWorks : {false, true}) {
        SCOPED_TRACE(sourceWorks ? "random number with nothing above its first byte" : "no random source");
        platform.RandomSourceWorks = sourceWorks;
        platform.Random = 0xAB;
        const uintptr_t first = SeededWith(platform);
        EXPECT_EQ(Stub.CounterReads, 1);
        EXPECT_EQ(first & 0xFF, 0u);
        EXPECT_NE(first, 0u);
        EXPECT_NE(first, expected::UnseededStackGuard);
        // Every source counts: another counter, tick count or id, another guard.
        Platform later = platform;
        later.Counter ^= 0x100;
        EXPECT_EQ(SeededWith(later), first ^ 0x100);
        later.Counter ^= static_cast<LONGLONG>(TopBit);
        EXPECT_EQ(SeededWith(later), first ^ 0x100 ^ TopBit);
        later = platform;
        later.Ticks ^= 0x200;
        EXPECT_EQ(SeededWith(later), first ^ 0x200);
        later = platform;
        later.ProcessId ^= 1;
        EXPECT_EQ(SeededWith(later), first ^ 0x10000);
        later = platform;
        later.ThreadId ^= 0x400;
        EXPECT_EQ(SeededWith(later), first ^ 0x400);
    }
}

TEST(StackGuardSeed, ThatComesOutZeroLeavesTheGuardTheFileHolds) {
    // The counter is the very address it is read into, and nothing else
    // differs from zero: the fallback cancels itself out.
    Platform platform;
    platform.RandomSourceWorks = false;
    platform.CounterIsItsOwnAddress = true;
    EXPECT_EQ(SeededWith(platform), expected::UnseededStackGuard);
    EXPECT_EQ(Stub.CounterReads, 1);
}

}  // namespace
