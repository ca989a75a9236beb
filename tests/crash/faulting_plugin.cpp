// A stand-in plug-in whose GetPluginInfo writes through a null pointer, so
// that a test program can be seen to fail when the plug-in faults.
#include <cstdint>

#include "support/host_interface.h"

extern "C" void __stdcall GetPluginInfo(PluginInfoRecord* info) {
    // Read back at run time, so the compiler cannot drop the write.
    volatile int32_t* volatile nowhere = nullptr;
    *nowhere = info->RecordSize;
}
