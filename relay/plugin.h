// Registration with the host, loading the settings at start-up, and the
// library's start and stop.
#pragma once

#include "support/host_interface.h"

// Runs after each hand-over of the start-up record: builds SettingsKeyPath
// from the host's registry root and reads StartPatternList (else the default).
// Installed as the start-up hook at load; a seam for tests, which run it
// without loading the DLL.
void LoadSettings();

extern "C" void __stdcall GetPluginInfo(PluginInfoRecord* info);
