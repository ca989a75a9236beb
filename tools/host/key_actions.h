// What the file manager does with the keys it gets that no binding takes:
// Enter opens a folder, goes up one, or would run a file; F3 shows a file in
// its viewer; Up and Down move its cursor; Ctrl with Up or Down (grey or
// keypad) is its key for the panels' height; any other key opens nothing.
#pragma once

#include <windows.h>

#include <vector>

#include "tools/hostkit/key_hook.h"

// The file manager's answer to a key pressed, named as it names it (with
// ChordName); `back` says the plug-in handed it back.
void ActOnKey(DWORD virtualKey, bool enhanced, DWORD controlKeyState, bool back);
// Acts on the first key pressed among those sent, with Ctrl as it is then.
void ActOn(const std::vector<SentKey>& keys);
