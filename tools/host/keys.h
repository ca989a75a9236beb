// Key names of the stand-in host: the names a session script and the
// transcript use, with the usual scan codes of a PC keyboard, and the names
// the file manager gives the keys it reads, which its key bindings use.
#pragma once

#include <windows.h>

#include <string>

struct KeyName {
    const char* Name;
    WORD VirtualKey;
    WORD ScanCode;          // the usual scan code of a PC keyboard
    bool Enhanced = false;  // the console marks its events ENHANCED_KEY: a grey key, keypad Enter, right Ctrl
};

// The key of a name such as "Ctrl", "Down", "F3", "A", "Num2" or "RCtrl" (any
// case); false when the name is unknown. "Down" is the grey key, "Num2" the
// keypad's 2 with NumLock off (the same virtual key, not enhanced).
bool FindKey(const std::string& name, KeyName& key);
// "Ctrl", "Down", ... for a virtual-key code; "vk 0xNN" for one without a name.
std::string VirtualKeyName(DWORD virtualKey);

// The file manager's name of a key it reads: for Up, Down, Left, Right, Home,
// End, PgUp, PgDn, Ins and Del the grey key with ENHANCED_KEY and the keypad
// key (Num8, Num2, ..., Num0, NumDel) without it; Enter with it is NumEnter,
// Ctrl and Alt with it are RCtrl and RAlt.
std::string FileManagerKeyName(DWORD virtualKey, bool enhanced);
// The name with the modifiers held, as the transcript shows it: "Ctrl+Num2".
// A modifier key is not named twice: a Ctrl press is "Ctrl".
std::string ChordName(DWORD virtualKey, bool enhanced, DWORD controlKeyState);
// A key name as a binding writes it, such as "CtrlDown" or "AltShiftF3"
// (modifiers Ctrl, Alt, Shift in any order and case, then a key): its chord
// name as ChordName gives it ("Ctrl+Down"); false when it names no key.
bool BindingChord(const std::string& name, std::string& chord);
