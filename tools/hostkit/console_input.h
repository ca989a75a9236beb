// The console input queue the plug-in reads its key events from: records as
// the console makes them, and putting them in, looking at and taking them out
// of the queue of standard input.
#pragma once

#include <windows.h>

HANDLE ConsoleInput();  // standard input
bool IsConsole(HANDLE handle);
// True when standard input is a console that accepts queued events.
bool ConsoleInputAvailable();
void FlushConsoleInput();
DWORD PendingConsoleEvents();

// A key event record as the console queues it for one press or release.
INPUT_RECORD KeyEventRecord(WORD virtualKey, WORD scanCode, bool down, DWORD controlKeyState = 0);
INPUT_RECORD MouseMoveRecord(SHORT x, SHORT y);
INPUT_RECORD FocusRecord(bool focused);

// False when the console did not take the record.
bool QueueConsoleInput(const INPUT_RECORD& record);
// Puts the record at the head of the queue, before the events already in it.
bool QueueConsoleInputFirst(const INPUT_RECORD& record);
// The event at the head of the queue, left there; false when it is empty.
bool PeekConsoleEvent(INPUT_RECORD& record);
void DropConsoleEvent();
