// A stand-in plug-in whose GetPluginInfo writes through a null pointer, so
// that a test program can be seen to fail when the plug-in faults. Its other
// entry points hand on to the real plug-in, copied beside it as
// LanternixReal.dll, so that the tests before the fault pass as usual.
#include <windows.h>

#include <cstdint>

#include "support/host_interface.h"

namespace {

// Loaded at the first call and freed with this DLL, as a dependency would be.
HMODULE RealPlugin = nullptr;

template <typename Proc>
Proc RealEntryPoint(const char* name) {
    if (RealPlugin == nullptr) RealPlugin = LoadLibraryA("LanternixReal.dll");
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(RealPlugin, name)));
}

}  // namespace

extern "C" void __stdcall GetPluginInfo(PluginInfoRecord* info) {
    // Read back at run time, so the compiler cannot drop the write.
    volatile int32_t* volatile nowhere = nullptr;
    *nowhere = info->RecordSize;
}

extern "C" void __stdcall SetStartupInfo(const StartupRecord* record) {
    RealEntryPoint<void(__stdcall*)(const StartupRecord*)>("SetStartupInfo")(record);
}

extern "C" intptr_t __stdcall OpenPlugin(int32_t openFrom, intptr_t item) {
    return RealEntryPoint<intptr_t(__stdcall*)(int32_t, intptr_t)>("OpenPlugin")(openFrom, item);
}

extern "C" int32_t __stdcall Configure(int32_t item) {
    return RealEntryPoint<int32_t(__stdcall*)(int32_t)>("Configure")(item);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID processEnds) {
    if (reason == DLL_PROCESS_DETACH && processEnds == nullptr && RealPlugin != nullptr) FreeLibrary(RealPlugin);
    return TRUE;
}
