// The key relay: OpenPlugin, the synthetic keys it sends, and matching file
// names against the pattern list.
#include "relay/key_relay.h"

#include <windows.h>

#include <cstring>

#include "relay/plugin_constants.h"
#include "support/startup.h"

ModuleText StartPatternList;
uint32_t StoredListUnread = 0;
bool StartSent = true;

namespace {

// A synthetic key event: virtual key, scan code, flags, extra info.
struct SyntheticKey {
    uint8_t VirtualKey;
    uint8_t ScanCode;
    uint32_t Flags;
    uint32_t ExtraInfo;
};
// Keys the relay hands back carry this extra info; its own Enter, F3 and Ctrl
// release carry none.
constexpr uint32_t HandedBackExtraInfo = 8;
constexpr uint8_t CtrlScanCode = 0x1D, EnterScanCode = 0x1C, F3ScanCode = 0x3D;
constexpr SyntheticKey CtrlPressedAgain{VK_CONTROL, CtrlScanCode, 0, HandedBackExtraInfo};
constexpr SyntheticKey CtrlReleased{VK_CONTROL, CtrlScanCode, KEYEVENTF_KEYUP, 0};
constexpr SyntheticKey EnterDown{VK_RETURN, EnterScanCode, 0, 0};
constexpr SyntheticKey EnterUp{VK_RETURN, EnterScanCode, KEYEVENTF_KEYUP, 0};
constexpr SyntheticKey F3Down{VK_F3, F3ScanCode, 0, 0};
constexpr SyntheticKey F3Up{VK_F3, F3ScanCode, KEYEVENTF_KEYUP, 0};

// OpenPlugin's answer on every path: no plug-in panel is opened.
constexpr intptr_t NoPluginPanel = -1;

// Stack room for the working copy of the pattern list, its zero byte included.
constexpr size_t ShortListCopySize = DialogItemTextSize;

void Send(const SyntheticKey& key) { keybd_event(key.VirtualKey, key.ScanCode, key.Flags, key.ExtraInfo); }

// Zero-filled first, so a host that fills nothing leaves no items and index 0.
void AskActivePanel(PanelInfoRecord& info) {
    std::memset(&info, 0, sizeof info);
    if (HostStartupRecord.PanelControlService != nullptr)
        HostStartupRecord.PanelControlService(ActivePanel, PanelGetInfo, &info);
}

// Moves the cursor one item, up for the Up arrow and down for any other key,
// keeping the top item. The index is passed unclamped: the host bounds it.
void MoveCursor(WORD key) {
    PanelInfoRecord info;
    AskActivePanel(info);
    const uint32_t current = static_cast<uint32_t>(info.CurrentItem);  // wraps rather than overflows
    RedrawRecord redraw{static_cast<int32_t>(key == VK_UP ? current - 1 : current + 1), info.TopItem};
    if (HostStartupRecord.PanelControlService != nullptr)
        HostStartupRecord.PanelControlService(ActivePanel, PanelRedraw, &redraw);
}

// The next key event of the console; other events (mouse, focus, buffer size,
// menu) are passed over. False when a read fails or delivers nothing.
bool ReadKeyEvent(KEY_EVENT_RECORD& keyEvent) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        INPUT_RECORD record{};
        DWORD count = 0;
        if (!ReadConsoleInputA(input, &record, 1, &count) || count != 1) return false;
        if (record.EventType == KEY_EVENT) {
            keyEvent = record.Event.KeyEvent;
            return true;
        }
    }
}

// Ctrl released: Enter for a directory or a matching file, F3 for any other
// file. Without an item under the cursor only Ctrl is released.
void OpenCurrentItem() {
    Send(CtrlReleased);
    PanelInfoRecord info;
    AskActivePanel(info);
    if (info.Items == nullptr || info.CurrentItem < 0 || info.CurrentItem >= info.ItemCount) return;
    const PanelItemRecord& item = info.Items[info.CurrentItem];
    bool enter = (item.FindData.dwFileAttributes & DirectoryAttribute) != 0;
    if (!enter) {
        // The host's name field need not be terminated within its 260 bytes.
        char name[PanelItemNameSize + 1];
        CopyTextBounded(name, item.FindData.cFileName, PanelItemNameSize);
        enter = MatchesStartPattern(name);
    }
    Send(enter ? EnterDown : F3Down);
    Send(enter ? EnterUp : F3Up);
    StartSent = true;
}

}  // namespace

bool MatchesStartPattern(const char* fileName) {
    NameMatchServiceProc nameMatches = HostStartupRecord.NameMatchService;
    if (fileName == nullptr || nameMatches == nullptr) return false;
    // The service may call back into the plug-in and replace the list: this
    // match keeps to its own copy, made once. A list as long as the dialog's
    // field holds is copied on the stack, a longer one on the heap.
    const bool unread = StoredListUnread != 0;
    const char* const list = unread ? DefaultStartPatternList : StartPatternList.c_str();
    const size_t size = unread ? sizeof DefaultStartPatternList - 1 : StartPatternList.size();
    char shortCopy[ShortListCopySize];
    OwnedArray<char> longCopy;
    char* copy = shortCopy;
    if (size >= sizeof shortCopy) {
        if (!longCopy.Allocate(size + 1)) return false;
        copy = longCopy.data();
    }
    std::memcpy(copy, list, size + 1);
    // Each pattern ends at a comma, which the copy's zero byte replaces; the
    // last one may end at the list's end instead, so a single trailing comma
    // adds no empty pattern.
    char* next = copy;
    char* const end = copy + size;
    while (next < end) {
        char* patternEnd = next;
        while (patternEnd < end && *patternEnd != ',') ++patternEnd;
        *patternEnd = '\0';
        if (static_cast<size_t>(patternEnd - next) <= MaxPatternLength &&
            nameMatches(next, fileName, NameMatchFlag) != 0)
            return true;
        next = patternEnd + 1;
    }
    return false;
}

void ReleaseStartPatternList() { StartPatternList.clear(); }

void UseDefaultListInstead(uint32_t reason) {
    StartPatternList.clear();
    StoredListUnread = reason;
}

extern "C" intptr_t __stdcall OpenPlugin(int32_t, intptr_t) {
    KEY_EVENT_RECORD event;
    if (!ReadKeyEvent(event)) return NoPluginPanel;
    const WORD key = event.wVirtualKeyCode;
    const bool down = event.bKeyDown != 0;
    if (key != VK_CONTROL) {
        if (down || StartSent) {
            MoveCursor(key);
            Send(CtrlPressedAgain);
        }
        // A key-down only: the user's own key-up follows from the console. The
        // console marks a key ENHANCED_KEY only from the extended bit, and the
        // host reads Down without it as the keypad's 2: the key handed back
        // must be the key read, grey or keypad.
        const uint32_t extended = (event.dwControlKeyState & ENHANCED_KEY) != 0 ? KEYEVENTF_EXTENDEDKEY : 0;
        Send({LOBYTE(key), LOBYTE(event.wVirtualScanCode), extended, HandedBackExtraInfo});
    }
    StartSent = false;
    if (key == VK_CONTROL && !down) OpenCurrentItem();
    return NoPluginPanel;
}
