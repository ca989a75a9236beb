// The file manager's answer to the keys it gets back: into a folder, up one, no run, the viewer.
#include "tools/host/key_actions.h"

#include <windows.h>

#include <string>

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

}  // namespace

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
