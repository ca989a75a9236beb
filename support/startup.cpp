// The start-up record's copy and hook, message lookup, and the support
// layer's start and stop.
#include "support/startup.h"

#include <cstring>

#include "support/settings.h"
#include "support/stack_guard.h"

StartupRecord HostStartupRecord{};
StartupHookProc StartupHook = nullptr;

const char* LookupMessage(int32_t messageId) {
    if (HostStartupRecord.MessageService == nullptr) return nullptr;
    return HostStartupRecord.MessageService(HostStartupRecord.ModuleId, messageId & 0x7F);
}

void ShowMessageItems(uint32_t flags, const char* const* items, int32_t count, uint32_t error) {
    // Right before the call, so that no call between changes it.
    if ((flags & MessageBoxWithLastError) != 0) SetLastError(error);
    HostStartupRecord.MessageBoxService(HostStartupRecord.ModuleId, flags | MessageBoxOkButton, nullptr, items, count,
                                        0);
}

// First of all at load: no function that checks the stack guard is running yet.
void StartSupportLayer() { SeedStackGuard(); }

void StopSupportLayer() { ReleaseSettingsKeyPath(); }

extern "C" void __stdcall SetStartupInfo(const StartupRecord* record) {
    if (record == nullptr) return;
    std::memcpy(&HostStartupRecord, record, sizeof HostStartupRecord);
    if (StartupHook != nullptr) StartupHook();
}
