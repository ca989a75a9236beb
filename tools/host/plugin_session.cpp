// The calls into the plug-in, each under a watchdog but Configure, and what comes of them.
#include "tools/host/plugin_session.h"

#include <cstdio>
#include <vector>

#include "relay/plugin_constants.h"
#include "tools/host/key_actions.h"
#include "tools/host/keys.h"
#include "tools/host/options.h"
#include "tools/host/plugin_services.h"
#include "tools/host/stored_settings.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/paths.h"
#include "tools/hostkit/watchdog.h"

LoadedPlugin* ThePlugin = nullptr;
InjectedKeyHook Capture;

namespace {

constexpr DWORD InvocationTimeout = 10000;  // ms; a plug-in that blocks longer is stuck

void ReportStuck(const char* what, DWORD milliseconds) {
    Print("    STUCK      " + std::string(what) + " did not return within " + std::to_string(milliseconds / 1000) +
          " seconds; the host gives up");
}
const WatchdogExpiry GiveUp{ReportStuck, ExitPluginStuck};

// One sent key as the transcript shows it, named as the file manager names
// the key it makes of it.
std::string KeyLine(const SentKey& key) {
    char line[160];
    const std::string flags = FlagWords(key.Flags);
    std::snprintf(line, sizeof line, "%-6s %-5s extra %-3lu (vk %s, scan %s%s%s)",
                  FileManagerKeyName(key.VirtualKey, (key.Flags & LLKHF_EXTENDED) != 0).c_str(),
                  key.Up() ? "up" : "down", static_cast<unsigned long>(key.ExtraInfo), Hex(key.VirtualKey).c_str(),
                  Hex(key.ScanCode).c_str(), flags.empty() ? "" : ", ", flags.c_str());
    return line;
}

}  // namespace

void HandOverStartupRecord() {
    ThePlugin->Record = StandInStartupRecord(SettingsRoot.c_str());
    {
        Watchdog dog("SetStartupInfo", InvocationTimeout, GiveUp);
        ThePlugin->Dll.SetStartupInfo(&ThePlugin->Record);
    }
    PrintTrace();
}

void Restart() {
    const std::string name = FileName(ThePlugin->Dll.File());
    const bool gone = ThePlugin->Dll.Unload();
    if (gone)
        Say("unload", name + " is no longer in the process");
    else
        Problem(name + " is still loaded after FreeLibrary");
    std::string error;
    if (!ThePlugin->Dll.Load(error)) return Problem(error);
    HandOverStartupRecord();
    Say("load", name + " loaded again and handed the start-up record");
    // A list applied until restart is gone now: say which one the plug-in read.
    Say("list", ListInUse());
}

void ShowMenu() {
    PluginInfoRecord info{};
    {
        Watchdog dog("GetPluginInfo", InvocationTimeout, GiveUp);
        ThePlugin->Dll.GetPluginInfo(&info);
    }
    PrintTrace();
    if (info.RecordSize != static_cast<int32_t>(sizeof info))
        Problem("record size given as " + std::to_string(info.RecordSize) + ", expected " +
                std::to_string(sizeof info));
    auto entries = [](const std::string& what, const char* label, const char* const* texts, int32_t count) {
        if (texts == nullptr || count <= 0) return Say(label, what + "(none)");
        for (int32_t i = 0; i < count; ++i)
            Say(i == 0 ? label : "", what + (texts[i] != nullptr ? Quoted(OemToUtf8(texts[i])) : "(no text)"));
    };
    // The counts are 32 bits wide, as the file manager reads them; on 64 bits
    // padding follows each.
    entries("plug-in menu entry ", "menu", info.MenuEntryTexts, static_cast<int32_t>(info.MenuEntryCount));
    entries("configuration menu entry ", "", info.ConfigEntryTexts, static_cast<int32_t>(info.ConfigEntryCount));
}

std::vector<SentKey> InvokeOnce() {
    intptr_t result;
    {
        Watchdog dog("OpenPlugin", InvocationTimeout, GiveUp);
        result = ThePlugin->Dll.OpenPlugin(0, 0);
    }
    PrintTrace();
    bool complete = false;
    std::vector<SentKey> keys = Capture.Take(complete);
    if (keys.empty()) Say("keys sent", "none");
    for (size_t i = 0; i < keys.size(); ++i) Say(i == 0 ? "keys sent" : "", KeyLine(keys[i]));
    if (!complete) Problem("the keyboard hook did not report back in time: keys may be missing");
    if (result != -1) Problem("OpenPlugin returned " + std::to_string(result) + ", expected -1");
    return keys;
}

void Invoke() { ActOn(InvokeOnce()); }

void RunConfigure() {
    Host.LastDialog = DialogOutcome{};
    const int boxesBefore = Host.MessageBoxesShown;
    // No watchdog: an interactive dialog waits for a person.
    const int32_t result = ThePlugin->Dll.Configure(0);
    PrintTrace();
    if (!Host.LastDialog.Shown) Say("dialog", "none was shown");
    const std::string returned = "Configure returned " + std::to_string(result);
    if (result == HostTrue) {
        std::string stored;
        const bool storedAsEdited =
            StoredList(stored) == ERROR_SUCCESS && (!Host.LastDialog.Shown || stored == Host.LastDialog.EditText);
        // A Save the registry refused is no fault of the plug-in's once it told the user.
        if (!storedAsEdited && Host.MessageBoxesShown > boxesBefore)
            return Say("result", returned +
                                     ": the registry did not take the list, and the plug-in said so in its "
                                     "message box; the edited list is in use until the plug-in is loaded again");
        if (StoredList(stored) != ERROR_SUCCESS)
            return Problem(returned + ", so the list should be stored, but " + PatternListValueName + " is not in " +
                           "HKEY_CURRENT_USER\\" + PluginKeyPath());
        if (Host.LastDialog.Shown && stored != Host.LastDialog.EditText)
            return Problem(returned + ", but " + PatternListValueName + " holds " + Quoted(OemToUtf8(stored)) +
                           ", not the edited list");
        return Say("result", returned + ": the list is stored in " + PatternListValueName + " and in use");
    }
    if (!Host.LastDialog.Button.empty())
        return Say("result",
                   returned + ": nothing stored; the edited list is in use until the plug-in is loaded again");
    Say("result", returned + ": nothing stored, the list in use is unchanged");
}
