// The plug-in's copy of the host's start-up record, the hook the plug-in runs
// after each hand-over, and message-text lookup.
#pragma once

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

// Start and stop of the support layer, called from the library's load and
// unload notifications.
void StartSupportLayer();
void StopSupportLayer();

extern "C" void __stdcall SetStartupInfo(const StartupRecord* record);
