// Registration (GetPluginInfo), the settings loaded at each start-up, and
// the DLL's entry point with the library's start and stop.
#include "relay/plugin.h"

#include "relay/key_relay.h"
#include "relay/plugin_constants.h"
#include "support/settings.h"
#include "support/startup.h"

namespace {

// Host-owned menu texts; the host reads them after GetPluginInfo returns, so
// they live at module level, each serving as a one-entry array.
const char* MenuEntryText = nullptr;
const char* ConfigEntryText = nullptr;

// The library's start and stop, run from the load and unload notifications.
void StartPlugin() { StartupHook = LoadSettings; }
void StopPlugin() { ReleaseStartPatternList(); }

// True while memory ran short for the stored list when it was last read: the
// list in use is then the default (or empty), not necessarily the user's.
bool StoredListUnread = false;

// Reads the stored list, else the default, into a fresh text.
SettingRead ReadPatternList(Text& list) {
    return ReadSettingText(HKEY_CURRENT_USER, PatternListValueName, DefaultStartPatternList, list);
}

}  // namespace

void LoadSettings() {
    // A plain concatenation: a root ending in a backslash gives two in a row.
    // Without memory for the path, path and list stay as they were.
    Text path;
    if (!path.Assign(HostStartupRecord.RegistryRoot) || !path.Append(SettingsKeyName)) return;
    SettingsKeyPath.swap(path);
    // A fresh result: should even the default fail to fit in memory, the list
    // becomes empty rather than keeping some other text.
    Text list;
    StoredListUnread = ReadPatternList(list) == SettingRead::MemoryShort;
    StartPatternList.swap(list);
}

bool ReadUnreadStoredList() {
    if (!StoredListUnread) return true;
    Text list;
    if (ReadPatternList(list) == SettingRead::MemoryShort) return false;
    StartPatternList.swap(list);
    StoredListUnread = false;
    return true;
}

extern "C" void __stdcall GetPluginInfo(PluginInfoRecord* info) {
    if (info == nullptr) return;
    info->RecordSize = sizeof(PluginInfoRecord);
    info->Reserved1 = 0;
    info->Reserved2 = 0;
    MenuEntryText = LookupMessage(MessageMenuEntry);
    info->MenuEntryTexts = &MenuEntryText;
    info->MenuEntryCount = 1;
    ConfigEntryText = LookupMessage(MessageSettingsEntry);
    info->ConfigEntryTexts = &ConfigEntryText;
    info->ConfigEntryCount = 1;
    info->Reserved3 = 0;
}

// The DLL's entry point itself: no runtime start-up runs before it (see
// CMakeLists.txt). Starts run in the order support layer, plug-in; stops in
// the reverse order. Nothing touches the registry or the host here.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            StartSupportLayer();
            StartPlugin();
            break;
        case DLL_PROCESS_DETACH:
            StopPlugin();
            StopSupportLayer();
            break;
        default: break;
    }
    return TRUE;
}
