// The interactive session: each key a person presses invokes the plug-in
// once; the settings dialog is answered at the keyboard.
#pragma once

#include <cstdint>

#include "support/host_interface.h"

int RunInteractive();
// Answers the plug-in's dialog at the keyboard: the index of the closing
// button, or -1.
int32_t AnswerInteractively(DialogItemRecord* items, int32_t count);
// Ends the program after Ctrl+C, with a message and its exit code.
[[noreturn]] void EndOnCtrlC();
