// The file manager's answer to the keys it gets back: into a folder, up one, no run, the viewer.
#include "tools/host/key_actions.h"

#include <windows.h>

#include <string>

#include "tools/host/key_loop.h"
#include "tools/host/keys.h"
#include "tools/host/panel_view.h"
#include "tools/host/plugin_services.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/host/viewer.h"
#include "tools/hostkit/system_handles.h"

namespace {

// The file (a real name in the folder shown) as the viewer opens it: its size
// and what it shows of the head.
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
    bool Enhanced = false;
    bool Ctrl = false;
};

ReceivedKey Received(const std::vector<SentKey>& keys) {
    bool ctrl = false;
    for (const SentKey& key : keys) {
        if (key.VirtualKey == VK_CONTROL || key.VirtualKey == VK_LCONTROL || key.VirtualKey == VK_RCONTROL) {
            ctrl = !key.Up();
        } else if (!key.Up()) {
            return {true, key.VirtualKey, (key.Flags & LLKHF_EXTENDED) != 0, ctrl};
        }
    }
    return {};
}

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

// Up and Down move the file manager's cursor one item, kept within the panel.
void MoveOwnCursor(int32_t step) {
    Panel& panel = Host.ThePanel;
    panel.Redraw(panel.Current() + step, panel.Top());
    Say("", "the file manager moves its cursor: now on " + Quoted(panel.NameAt(panel.Current())) + " (" +
                std::to_string(panel.Current()) + ")");
}

}  // namespace

void ActOnKey(DWORD virtualKey, bool enhanced, DWORD controlKeyState, bool back) {
    const bool ctrl = (controlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
    const std::string name = ChordName(virtualKey, enhanced, controlKeyState);
    const std::string gets = "the file manager gets " + name + (back ? " back" : "");
    if (back && IsBound(name))
        return Say("so", gets + ", which its binding takes: it invokes the plug-in for the next key");
    const bool shorter = IsOneOf(name, {"Ctrl+Up", "Ctrl+Num8"}), taller = IsOneOf(name, {"Ctrl+Down", "Ctrl+Num2"});
    if (shorter || taller)
        return Say("so", gets + ", its own key for the panels' height: it would make them one row " +
                             (shorter ? "shorter" : "taller"));
    if (name == "Up" || name == "Down") {
        Say("so", gets + ", its own key");
        return MoveOwnCursor(name == "Up" ? -1 : 1);
    }
    const bool opens = !ctrl && (virtualKey == VK_RETURN || virtualKey == VK_F3);
    if (!opens) return Say("so", gets + ", a key of its own: nothing is opened");
    const Panel& panel = Host.ThePanel;
    const int32_t current = panel.Current();
    const std::string item = Quoted(panel.NameAt(current));
    if (current >= panel.Count()) return Say("so", gets + ", but the panel has no item");
    const std::string realName = panel.RealNameAt(current);
    if (virtualKey == VK_F3) {
        if (panel.IsDirectory(current))
            return Say("so", "the file manager gets F3 on the folder " + item + ": its viewer shows files only");
        Say("so", "the file manager gets F3 on " + item + ": its viewer shows the file");
        return ShowViewer(realName);
    }
    if (!panel.IsDirectory(current))
        return Say("so", "the file manager gets " + name + " on " + item +
                             ": it would run or open the file (the stand-in runs nothing)");
    const bool up = realName == "..";
    Say("so",
        "the file manager gets " + name + " on " + item + (up ? ": it goes up one folder" : ": it opens the folder"));
    const std::string left = FolderDisplayName(Host.FolderPath);
    std::string error;
    if (!ShowFolder(FolderBehind(Host.FolderPath, realName), up ? left : "", error)) Problem(error);
}

void ActOn(const std::vector<SentKey>& keys) {
    const ReceivedKey key = Received(keys);
    if (key.Any) ActOnKey(key.VirtualKey, key.Enhanced, key.Ctrl ? LEFT_CTRL_PRESSED : 0, true);
}
