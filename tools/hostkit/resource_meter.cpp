// Meters of the process's handles, heaps and TLS slots.
#include "tools/hostkit/resource_meter.h"

#include <malloc.h>

#include <cstdint>
#include <cstdio>

namespace {

// The system handle table's layout (SystemHandleInformation, class 16).
struct SystemHandleEntry {
    ULONG ProcessId;
    UCHAR ObjectType;
    UCHAR Flags;
    USHORT Value;
    PVOID Object;
    ACCESS_MASK Access;
};
struct SystemHandleTable {
    ULONG Count;
    SystemHandleEntry Handles[1];
};
using QuerySystemInformationProc = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG SystemHandleInformation = 16;
constexpr LONG InfoLengthMismatch = static_cast<LONG>(0xC0000004);

DWORD HandlesInSystemTable() {
    auto query = reinterpret_cast<QuerySystemInformationProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    // The buffer is the process heap's, not the CRT's, and freed before the
    // count is returned.
    ULONG size = 1 << 16;
    for (;;) {
        void* buffer = HeapAlloc(GetProcessHeap(), 0, size);
        if (buffer == nullptr) return 0;
        ULONG needed = 0;
        const LONG status = query(SystemHandleInformation, buffer, size, &needed);
        if (status == InfoLengthMismatch) {
            HeapFree(GetProcessHeap(), 0, buffer);
            size *= 2;
            continue;
        }
        DWORD count = 0;
        if (status == 0) {
            const auto* table = static_cast<const SystemHandleTable*>(buffer);
            const ULONG self = GetCurrentProcessId();
            for (ULONG i = 0; i < table->Count; ++i)
                if (table->Handles[i].ProcessId == self) ++count;
        }
        HeapFree(GetProcessHeap(), 0, buffer);
        return count;
    }
}

}  // namespace

DWORD ProcessHandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
    return HandlesInSystemTable();
}

HeapUse HeapUseOf(HANDLE heap) {
    HeapUse use;
    if (!HeapLock(heap)) return use;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) == 0) continue;
        use.Bytes += entry.cbData;
        ++use.Blocks;
    }
    HeapUnlock(heap);
    return use;
}

HANDLE CrtHeap() { return reinterpret_cast<HANDLE>(_get_heap_handle()); }

DWORD LowestFreeTlsSlot() {
    const DWORD slot = TlsAlloc();
    if (slot != TLS_OUT_OF_INDEXES) TlsFree(slot);
    return slot;
}

ResourceSnapshot ResourceSnapshot::Take() {
    ResourceSnapshot snapshot;
    snapshot.Handles = ProcessHandleCount();
    snapshot.Crt = HeapUseOf(CrtHeap());
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        const HeapUse use = HeapUseOf(heaps[i]);
        snapshot.AllHeaps.Bytes += use.Bytes;
        snapshot.AllHeaps.Blocks += use.Blocks;
    }
    snapshot.TlsSlot = LowestFreeTlsSlot();
    return snapshot;
}

std::string ResourceSnapshot::Describe() const {
    char text[200];
    std::snprintf(text, sizeof text,
                  "%lu handles; CRT heap %zu bytes in %zu blocks; all heaps %zu bytes in %zu blocks; TLS slot %lu",
                  static_cast<unsigned long>(Handles), Crt.Bytes, Crt.Blocks, AllHeaps.Bytes, AllHeaps.Blocks,
                  static_cast<unsigned long>(TlsSlot));
    return text;
}

double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
