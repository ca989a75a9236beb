// Registration with the host, loading the settings at start-up, and the
// library's start and stop.
#pragma once

#include "support/host_interface.h"

// Runs after each hand-over of the start-up record: builds SettingsKeyPath
// from the host's registry root and reads StartPatternList: the stored list,
// the default with nothing stored, or, when a stored list cannot be read (or
// memory for the path is short), the default in its place and the reason in
// StoredListUnread. Installed as the start-up hook at load; a seam for tests,
// which run it without loading the DLL.
void LoadSettings();

// Reads the stored list again when it could not be read last time: true when
// the list in use is now as stored (or the default, with nothing stored);
// false while it still cannot be read.
bool ReadUnreadStoredList();

extern "C" void __stdcall GetPluginInfo(PluginInfoRecord* info);
