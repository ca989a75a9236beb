// Catches the keys the plug-in synthesizes: a low-level keyboard hook on a
// thread of its own records every injected key and swallows it, so that it
// never reaches the console queue the plug-in reads from. Keys typed by a
// person are not injected and pass untouched. The host shows the keys with
// it, the test bed checks them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct SentKey {
    DWORD VirtualKey;
    DWORD ScanCode;
    DWORD Flags;  // the hook's flags: LLKHF_UP, LLKHF_INJECTED, LLKHF_EXTENDED, ...
    ULONG_PTR ExtraInfo;
    bool Up() const { return (Flags & LLKHF_UP) != 0; }
};

// The hook's flags as words: "injected", "extended", "alt".
std::string FlagWords(DWORD flags);

class InjectedKeyHook {
public:
    // Installs the hook and waits until it sees keys; false when it cannot.
    bool Start();
    // Every key sent since the last call. A fence key is sent and waited
    // for, so all keys sent before the call are in; complete is false when
    // the fence did not come back in time.
    std::vector<SentKey> Take(bool& complete);
};
