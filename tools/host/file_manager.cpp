#include "tools/host/file_manager.h"

#include <cstring>
#include <vector>

#include "relay/plugin_constants.h"
#include "tools/host/options.h"
#include "tools/host/plugin_services.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/host/viewer.h"
#include "tools/hostkit/console_input.h"
#include "tools/hostkit/paths.h"
#include "tools/hostkit/system_handles.h"
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

// The stored value as the plug-in wrote it (OEM code page); false when none.
bool StoredList(std::string& value) {
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PatternKeyPath().c_str(), 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
        return false;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size() - 1), type = 0;
    if (RegQueryValueExA(key.get(), PatternListValueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return false;
    value.assign(data.data(), strnlen(data.data(), size));
    return true;
}

void ShowViewer(const std::string& realName) {
    const std::string path = Host.FolderPath + (Host.FolderPath.back() == '\\' ? "" : "\\") + realName;
    const HANDLE opened = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return Problem("the viewer cannot open " + Quoted(realName) + " (error " + std::to_string(GetLastError()) +
                       ")");
    const UniqueKernelHandle file(opened);
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    std::string head(ViewerReadBytes, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &got, nullptr)) got = 0;
    head.resize(got);
    const std::vector<std::string> lines = ViewFile(head, static_cast<uint64_t>(size.QuadPart));
    Say("viewer", realName + ", " + Counted(static_cast<size_t>(size.QuadPart), "byte"));
    for (const std::string& line : lines) Say("", (line.empty() || line[0] != '(' ? "| " : "") + line);
}

// What the file manager gets from the keys the plug-in sent: the first key
// pressed, and whether Ctrl is held then.
struct ReceivedKey {
    bool Any = false;
    DWORD VirtualKey = 0;
    bool Ctrl = false;
};

ReceivedKey Received(const std::vector<SentKey>& keys) {
    bool ctrl = false;
    for (const SentKey& key : keys) {
        if (key.VirtualKey == VK_CONTROL || key.VirtualKey == VK_LCONTROL || key.VirtualKey == VK_RCONTROL) {
            ctrl = !key.Up();
        } else if (!key.Up()) {
            return {true, key.VirtualKey, ctrl};
        }
    }
    return {};
}

void ActOn(const std::vector<SentKey>& keys) {
    const ReceivedKey key = Received(keys);
    if (!key.Any) return;
    const Panel& panel = Host.ThePanel;
    const int32_t current = panel.Current();
    const std::string item = Quoted(panel.NameAt(current));
    const std::string name = std::string(key.Ctrl ? "Ctrl+" : "") + VirtualKeyName(key.VirtualKey);
    const bool opens = !key.Ctrl && (key.VirtualKey == VK_RETURN || key.VirtualKey == VK_F3);
    if (!opens) return Say("so", "the file manager gets " + name + " back, a key of its own: nothing is opened");
    if (current >= panel.Count()) return Say("so", "the file manager gets " + name + ", but the panel has no item");
    const std::string realName = panel.RealNameAt(current);
    if (key.VirtualKey == VK_F3) {
        if (panel.IsDirectory(current))
            return Say("so", "the file manager gets F3 on the folder " + item + ": its viewer shows files only");
        Say("so", "the file manager gets F3 on " + item + ": its viewer shows the file");
        return ShowViewer(realName);
    }
    if (!panel.IsDirectory(current))
        return Say("so", "the file manager gets Enter on " + item +
                             ": it would run or open the file (the stand-in runs nothing)");
    const bool up = realName == "..";
    Say("so", "the file manager gets Enter on " + item + (up ? ": it goes up one folder" : ": it opens the folder"));
    const std::string left = FolderDisplayName(Host.FolderPath);
    std::string error;
    if (!ShowFolder(FolderBehind(Host.FolderPath, realName), up ? left : "", error)) Problem(error);
}

}  // namespace

std::string PatternKeyPath() { return ThePlugin->RegistryRoot + SettingsKeyName; }

void StartPlugin() {
    ThePlugin->Record = StandInStartupRecord(ThePlugin->RegistryRoot.c_str());
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
    StartPlugin();
    Say("load", name + " loaded again and handed the start-up record");
    // A list applied until restart is gone now: say which one the plug-in read.
    Say("list", ListInUse());
}

bool ShowFolder(const std::string& path, const std::string& cursorOn, std::string& error) {
    FolderListing listing;
    if (!ListFolder(path, listing, error)) return false;
    Host.FolderPath = path;
    Host.ThePanel.SetItems(std::move(listing));
    const int32_t index = cursorOn.empty() ? -1 : Host.ThePanel.Find(cursorOn);
    if (index >= 0) Host.ThePanel.Redraw(index, Host.ThePanel.Top());
    ShowPanel();
    return true;
}

void ShowPanel() {
    const Panel& panel = Host.ThePanel;
    const int32_t current = panel.Current();
    Say("panel", "folder " + Quoted(FolderDisplayName(Host.FolderPath)) + ", " +
                     Counted(static_cast<size_t>(panel.Count()), "item") + ", cursor on " +
                     (current < panel.Count() ? Quoted(panel.NameAt(current)) + " (" + std::to_string(current) + ")"
                                              : "no item"));
    const int32_t end = std::min(panel.Count(), panel.Top() + panel.Rows());
    if (panel.Top() > 0) Say("", "  (" + std::to_string(panel.Top()) + " above)");
    for (int32_t i = panel.Top(); i < end; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%s %2ld  ", i == current ? "->" : "  ", static_cast<long>(i));
        Say("", number + Padded(panel.NameAt(i), 24) + (panel.IsDirectory(i) ? "  <folder>" : ""));
        std::string oem, refused;
        if (!panel.NameFits(i) && !Utf8ToOem(panel.RealNameAt(i), oem, refused))
            Say("", "        (its name is " + Quoted(panel.RealNameAt(i)) + "; the OEM code page has no " + refused +
                        ", so the plug-in sees " + Quoted(panel.NameAt(i)) + ")");
    }
    if (end < panel.Count()) Say("", "  (" + std::to_string(panel.Count() - end) + " below)");
}

void ShowMenu() {
    PluginInfoRecord info{};
    {
        Watchdog dog("GetPluginInfo", InvocationTimeout, GiveUp);
        ThePlugin->Dll.GetPluginInfo(&info);
    }
    PrintTrace();
    if (info.RecordSize != static_cast<int32_t>(sizeof info))
        Problem("record size given as " + std::to_string(info.RecordSize) + ", expected 40");
    auto entries = [](const std::string& what, const char* label, const char* const* texts, int32_t count) {
        if (texts == nullptr || count <= 0) return Say(label, what + "(none)");
        for (int32_t i = 0; i < count; ++i)
            Say(i == 0 ? label : "", what + (texts[i] != nullptr ? Quoted(OemToUtf8(texts[i])) : "(no text)"));
    };
    entries("plug-in menu entry ", "menu", info.MenuEntryTexts, info.MenuEntryCount);
    entries("configuration menu entry ", "", info.ConfigEntryTexts, info.ConfigEntryCount);
}

void ShowRegistry() {
    std::string value;
    if (StoredList(value))
        Say("registry", std::string(PatternListValueName) + " = " + Quoted(OemToUtf8(value)));
    else
        Say("registry", std::string("no value ") + PatternListValueName + " stored: the plug-in uses its default list");
}

std::string ListInUse() {
    std::string value;
    if (StoredList(value)) return "the stored one, " + Quoted(OemToUtf8(value));
    return "the plug-in's default list: nothing is stored";
}

bool MoveCursor(const std::string& which) {
    Panel& panel = Host.ThePanel;
    int32_t index = panel.Find(which);
    if (index < 0 && !which.empty() && which.size() < 9 && which.find_first_not_of("0123456789") == std::string::npos)
        index = std::stoi(which);
    if (index < 0 || index >= panel.Count()) return Problem("no item " + Quoted(which)), false;
    panel.Redraw(index, panel.Top());
    Say("panel", "cursor on " + Quoted(panel.NameAt(index)) + " (" + std::to_string(index) + ")");
    return true;
}

void QueueKey(const KeyName& key, bool down) {
    const DWORD state = key.VirtualKey == VK_CONTROL && down ? LEFT_CTRL_PRESSED : 0;
    QueueConsoleInput(KeyEventRecord(key.VirtualKey, key.ScanCode, down, state));
}

namespace {
std::string KeyLine(const SentKey& key) {
    char line[160];
    std::snprintf(line, sizeof line, "%-6s %-5s extra %-3lu (vk %s, scan %s%s%s)",
                  VirtualKeyName(key.VirtualKey).c_str(), key.Up() ? "up" : "down",
                  static_cast<unsigned long>(key.ExtraInfo), Hex(key.VirtualKey).c_str(), Hex(key.ScanCode).c_str(),
                  FlagWords(key.Flags).empty() ? "" : ", ", FlagWords(key.Flags).c_str());
    return line;
}
}  // namespace

void Invoke() {
    int32_t result;
    {
        Watchdog dog("OpenPlugin", InvocationTimeout, GiveUp);
        result = ThePlugin->Dll.OpenPlugin(0, 0);
    }
    PrintTrace();
    bool complete = false;
    const std::vector<SentKey> keys = Capture.Take(complete);
    if (keys.empty()) Say("keys sent", "none");
    for (size_t i = 0; i < keys.size(); ++i) Say(i == 0 ? "keys sent" : "", KeyLine(keys[i]));
    if (!complete) Problem("the keyboard hook did not report back in time: keys may be missing");
    if (result != -1) Problem("OpenPlugin returned " + std::to_string(result) + ", expected -1");
    ActOn(keys);
}

void RunConfigure() {
    Host.LastDialog = DialogOutcome{};
    // No watchdog: an interactive dialog waits for a person.
    const int32_t result = ThePlugin->Dll.Configure(0);
    PrintTrace();
    if (!Host.LastDialog.Shown) Say("dialog", "none was shown");
    const std::string returned = "Configure returned " + std::to_string(result);
    if (result == HostTrue) {
        std::string stored;
        if (!StoredList(stored))
            return Problem(returned + ", so the list should be stored, but " + PatternListValueName + " is not in " +
                           "HKEY_CURRENT_USER\\" + PatternKeyPath());
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
