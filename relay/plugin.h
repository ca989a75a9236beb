// Registration with the host, loading the settings at start-up, and the
// library's start and stop.
#pragma once

#include "support/host_interface.h"

// Host-owned menu texts; the host reads them after GetPluginInfo returns, so
// they live at module level, each serving as a one-entry array.
extern const char* MenuEntryText;
extern const char* ConfigEntryText;

extern const char SettingsKeyName[];       // "\Lanternix", appended to the host's root
extern const char PatternListValueName[];  // "EnterExt"

// Runs after each hand-over of the start-up record: builds SettingsKeyPath
// from the host's registry root and reads StartPatternList (else the default).
void LoadSettings();

// Library start and stop, called from the load and unload notifications.
void StartPlugin();
void StopPlugin();

extern "C" void __stdcall GetPluginInfo(PluginInfoRecord* info);
