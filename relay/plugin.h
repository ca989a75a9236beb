// Registration with the host, loading the settings at start-up, and the
// library's start and stop.
#pragma once

#include "support/host_interface.h"

// Runs after each hand-over of the start-up record: builds SettingsKeyPath
// from the host's registry root and reads StartPatternList (else the default).
// Installed as the start-up hook at load; a seam for tests, which run it
// without loading the DLL.
void LoadSettings();

// Reads the stored list again should memory have run short for it when it was
// last read (the list in use is then the default, or empty): true when the
// list in use is now as stored (or the default, with nothing stored); false,
// and nothing changed, while memory is still short.
bool ReadUnreadStoredList();

extern "C" void __stdcall GetPluginInfo(PluginInfoRecord* info);
