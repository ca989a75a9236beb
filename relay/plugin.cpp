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

}  // namespace

void LoadSettings() {
    // A plain concatenation: a root ending in a backslash gives two in a row.
    // Without memory for the path no key is addressed at all, rather than
    // the one of an earlier start-up, and the stored list counts as unread.
    Text path;
    if (!path.Assign(HostStartupRecord.RegistryRoot) || !path.Append(SettingsKeyName)) {
        SettingsKeyPath.clear();
        UseDefaultListInstead(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    SettingsKeyPath.swap(path);
    Text list;
    const SettingRead read = ReadSettingText(HKEY_CURRENT_USER, PatternListValueName, list);
    if (read.Outcome == SettingOutcome::Unreadable) return UseDefaultListInstead(static_cast<uint32_t>(read.Reason));
    // Nothing stored: the default, as a list of its own that the dialog can edit.
    if (read.Outcome == SettingOutcome::Absent && !list.Assign(DefaultStartPatternList))
        return UseDefaultListInstead(ERROR_NOT_ENOUGH_MEMORY);
    StartPatternList.swap(list);
    StoredListUnread = 0;
}

bool ReadUnreadStoredList() {
    if (StoredListUnread != 0) LoadSettings();
    return StoredListUnread == 0;
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
