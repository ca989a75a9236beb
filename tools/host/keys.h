// Key names of the stand-in host: the names a session script and the
// transcript use, with the usual scan codes of a PC keyboard.
#pragma once

#include <windows.h>

#include <string>

struct KeyName {
    const char* Name;
    WORD VirtualKey;
    WORD ScanCode;  // the usual scan code of a PC keyboard
};

// The key of a name such as "Ctrl", "Down", "F3" or "A" (any case); false
// when the name is unknown.
bool FindKey(const std::string& name, KeyName& key);
// "Ctrl", "Down", ... for a virtual-key code; "vk 0xNN" for one without a name.
std::string VirtualKeyName(DWORD virtualKey);
