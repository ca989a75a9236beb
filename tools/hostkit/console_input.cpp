// Queueing key events into the console, and peeking and dropping them.
#include "tools/hostkit/console_input.h"

#include <vector>

HANDLE ConsoleInput() { return GetStdHandle(STD_INPUT_HANDLE); }

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

bool ConsoleInputAvailable() { return IsConsole(ConsoleInput()); }

void FlushConsoleInput() { FlushConsoleInputBuffer(ConsoleInput()); }

DWORD PendingConsoleEvents() {
    DWORD count = 0;
    GetNumberOfConsoleInputEvents(ConsoleInput(), &count);
    return count;
}

INPUT_RECORD KeyEventRecord(WORD virtualKey, WORD scanCode, bool down, DWORD controlKeyState) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
    record.Event.KeyEvent.wVirtualScanCode = scanCode;
    record.Event.KeyEvent.dwControlKeyState = controlKeyState;
    return record;
}

INPUT_RECORD MouseMoveRecord(SHORT x, SHORT y) {
    INPUT_RECORD record{};
    record.EventType = MOUSE_EVENT;
    record.Event.MouseEvent.dwMousePosition = {x, y};
    record.Event.MouseEvent.dwEventFlags = MOUSE_MOVED;
    return record;
}

INPUT_RECORD FocusRecord(bool focused) {
    INPUT_RECORD record{};
    record.EventType = FOCUS_EVENT;
    record.Event.FocusEvent.bSetFocus = focused ? TRUE : FALSE;
    return record;
}

bool QueueConsoleInput(const INPUT_RECORD& record) {
    DWORD written = 0;
    return WriteConsoleInputA(ConsoleInput(), &record, 1, &written) && written == 1;
}

// The console can only append, so what is queued is taken out and put back
// behind the new record.
bool QueueConsoleInputFirst(const INPUT_RECORD& record) {
    std::vector<INPUT_RECORD> pending(PendingConsoleEvents());
    DWORD count = 0;
    if (!pending.empty()) {
        ReadConsoleInputA(ConsoleInput(), pending.data(), static_cast<DWORD>(pending.size()), &count);
        pending.resize(count);
    }
    pending.insert(pending.begin(), record);
    return WriteConsoleInputA(ConsoleInput(), pending.data(), static_cast<DWORD>(pending.size()), &count) &&
           count == pending.size();
}

bool PeekConsoleEvent(INPUT_RECORD& record) {
    DWORD count = 0;
    return PeekConsoleInputA(ConsoleInput(), &record, 1, &count) && count == 1;
}

void DropConsoleEvent() {
    INPUT_RECORD record;
    DWORD count = 0;
    ReadConsoleInputA(ConsoleInput(), &record, 1, &count);
}
