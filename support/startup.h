// The plug-in's copy of the host's start-up record, the hook the plug-in runs
// after each hand-over, and message-text lookup.
#pragma once

#include <cstddef>

#include "support/host_interface.h"

using StartupHookProc = void (*)();

// All zero until the first SetStartupInfo; every host service is reached
// through this copy, never through the host's own record.
extern StartupRecord HostStartupRecord;

// Run after each hand-over of the start-up record; set by the plug-in's start.
extern StartupHookProc StartupHook;

// The host's text for a message id (only its low 7 bits count), as the host
// returns it; null when the host offers no message service.
const char* LookupMessage(int32_t messageId);

// The host's message box with these texts and the host's OK button; with
// MessageBoxWithLastError in the flags, `error` is made the thread's last
// error for the host to add its text. The message box must be there.
void ShowMessageItems(uint32_t flags, const char* const* items, int32_t count, uint32_t error);
// Shows the host's message box, its title and lines the texts of the message
// ids in order (a text the host lacks shows empty), with the host's OK
// button. Nothing happens when the host offers no message box.
template <size_t N>
void ShowMessage(uint32_t flags, const int32_t (&messageIds)[N], uint32_t error = 0) {
    if (HostStartupRecord.MessageBoxService == nullptr) return;
    // The host reads every item: a text it lacks is an empty one, never null.
    const char* items[N];
    for (size_t i = 0; i < N; ++i) {
        const char* text = LookupMessage(messageIds[i]);
        items[i] = text != nullptr ? text : "";
    }
    ShowMessageItems(flags, items, static_cast<int32_t>(N), error);
}

// Start and stop of the support layer, called from the library's load and
// unload notifications.
void StartSupportLayer();
void StopSupportLayer();

extern "C" void __stdcall SetStartupInfo(const StartupRecord* record);
