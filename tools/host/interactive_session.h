// The interactive session: each key a person presses invokes the plug-in
// once; the settings dialog is answered at the keyboard.
#pragma once

int RunInteractive();
// Ends the program after Ctrl+C, with a message and its exit code.
[[noreturn]] void EndOnCtrlC();
