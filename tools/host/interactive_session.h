// The interactive session: each key a person presses invokes the plug-in
// once; the settings dialog is answered at the keyboard.
#pragma once

#include <windows.h>

int RunInteractive();
// The next key pressed at the console, other events passed over; Ctrl+C
// ends the program. False when the console cannot be read.
bool ReadKeyPress(KEY_EVENT_RECORD& key);
// Ends the program after Ctrl+C, with a message and its exit code.
[[noreturn]] void EndOnCtrlC();
