// What a long run may not leave behind: open handles, heap blocks and
// thread-local storage slots of the process; and how long it took.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// Handles open in this process: GetProcessHandleCount where it answers;
// Wine's always reports 0, so then the process's entries in the system handle
// table are counted.
DWORD ProcessHandleCount();

// Busy bytes and blocks of one heap, by HeapWalk.
struct HeapUse {
    size_t Bytes = 0;
    size_t Blocks = 0;
};
HeapUse HeapUseOf(HANDLE heap);

// The heap that malloc and operator new draw from, in the DLL as in the test:
// msvcrt keeps a heap of its own, not the process heap.
HANDLE CrtHeap();

// The lowest free thread-local storage slot: it rises when slots leak.
DWORD LowestFreeTlsSlot();

// One look at all of the above.
struct ResourceSnapshot {
    DWORD Handles = 0;
    HeapUse Crt;
    HeapUse AllHeaps;  // every heap of the process, the CRT's included
    DWORD TlsSlot = 0;
    static ResourceSnapshot Take();
    std::string Describe() const;
};

// The performance counter in seconds, for timing runs.
double Seconds();
