// The console queue mirrored with each event's origin, the keyboard state the
// console stamps on each event, bindings and the runaway guard.
#include "tools/host/key_loop.h"

#include <windows.h>

#include <deque>
#include <set>

#include "tools/host/key_actions.h"
#include "tools/host/keys.h"
#include "tools/host/plugin_session.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/console_input.h"

namespace {

std::vector<std::string> Bindings;  // in the order bound

// An event in the console queue, and whether the plug-in sent it.
struct Queued {
    INPUT_RECORD Record;
    bool Sent;
};
std::deque<Queued> Queue;      // what the console holds, in the same order
std::deque<TypedKey> Fingers;  // events the script types when one is waited for
bool Waiting = false;          // the plug-in was invoked and waits for a typed key
bool Stopped = false;          // the runaway guard ended the session
int SinceTypedKey = 0;         // invocations since a typed key was read

// The modifiers held, as the console stamps them on each event it queues.
DWORD HeldState = 0;

DWORD ModifierBit(WORD virtualKey, bool enhanced) {
    switch (virtualKey) {
        case VK_CONTROL: return enhanced ? RIGHT_CTRL_PRESSED : LEFT_CTRL_PRESSED;
        case VK_LCONTROL: return LEFT_CTRL_PRESSED;
        case VK_RCONTROL: return RIGHT_CTRL_PRESSED;
        case VK_MENU: return enhanced ? RIGHT_ALT_PRESSED : LEFT_ALT_PRESSED;
        case VK_SHIFT: return SHIFT_PRESSED;
        default: return 0;
    }
}

std::string EventName(const KEY_EVENT_RECORD& key) {
    return ChordName(key.wVirtualKeyCode, (key.dwControlKeyState & ENHANCED_KEY) != 0, key.dwControlKeyState) +
           (key.bKeyDown ? " pressed" : " released");
}

// An event joins the end of the queue, stamped with the modifiers held once
// it is in: a Ctrl press carries Ctrl, its release no longer does.
void Arrive(WORD virtualKey, WORD scanCode, bool enhanced, bool down, bool sent) {
    const DWORD bit = ModifierBit(virtualKey, enhanced);
    HeldState = down ? HeldState | bit : HeldState & ~bit;
    const INPUT_RECORD record =
        KeyEventRecord(virtualKey, scanCode, down, HeldState | (enhanced ? DWORD{ENHANCED_KEY} : 0));
    if (!sent) Say("typed", EventName(record.Event.KeyEvent));
    if (!QueueConsoleInput(record)) return Problem("the console did not take " + EventName(record.Event.KeyEvent));
    Queue.push_back({record, sent});
}

bool TypeNext() {
    if (Fingers.empty()) return false;
    const TypedKey next = Fingers.front();
    Fingers.pop_front();
    Arrive(next.Key.VirtualKey, next.Key.ScanCode, next.Key.Enhanced, next.Down, false);
    return true;
}

std::string Origin(const Queued& event) {
    return EventName(event.Record.Event.KeyEvent) + (event.Sent ? ", sent by the plug-in" : "");
}

// The plug-in reads the event at the head of the queue; what it sends joins
// the end.
void CallPlugin() {
    // Only a console that refused the typed event leaves nothing to read.
    if (Queue.empty()) return Problem("the plug-in is not invoked: the console holds no event for it to read");
    const Queued read = Queue.front();
    Queue.pop_front();
    if (!read.Sent) SinceTypedKey = 0;
    Say("plug-in", "reads " + Origin(read));
    const std::vector<SentKey> keys = InvokeOnce();
    if (PendingConsoleEvents() != Queue.size()) {
        Problem("the plug-in took " + std::to_string(Queue.size() + 1 - PendingConsoleEvents()) +
                " events from the console, not one");
        FlushConsoleInput();
        Queue.clear();
    }
    for (const SentKey& key : keys)
        Arrive(static_cast<WORD>(key.VirtualKey), static_cast<WORD>(key.ScanCode), (key.Flags & LLKHF_EXTENDED) != 0,
               !key.Up(), true);
}

void InvokeBound() {
    if (++SinceTypedKey > MostInvocationsWithoutTypedKey) {
        Problem("runaway: the bindings (" + BoundKeys() + ") feed themselves: the plug-in was invoked " +
                std::to_string(MostInvocationsWithoutTypedKey) +
                " times in a row without a typed key being read, and is not invoked again; the session stops here");
        Stopped = true;
        return;
    }
    if (Queue.empty() && !TypeNext()) {
        Say("plug-in", "invoked: it waits for the next key typed");
        Waiting = true;
        return;
    }
    CallPlugin();
}

// The host reads the event at the head of the queue.
void HostReads() {
    const Queued read = Queue.front();
    Queue.pop_front();
    DropConsoleEvent();
    if (!read.Sent) SinceTypedKey = 0;
    const KEY_EVENT_RECORD& key = read.Record.Event.KeyEvent;
    const bool enhanced = (key.dwControlKeyState & ENHANCED_KEY) != 0;
    const std::string chord = ChordName(key.wVirtualKeyCode, enhanced, key.dwControlKeyState);
    const bool bound = key.bKeyDown && IsBound(chord);
    Say("host reads", Origin(read) + (bound ? ": bound, the plug-in is invoked" : ""));
    if (bound) return InvokeBound();
    // A key's release and a modifier's press do nothing by themselves.
    if (key.bKeyDown && ModifierBit(key.wVirtualKeyCode, enhanced) == 0)
        ActOnKey(key.wVirtualKeyCode, enhanced, key.dwControlKeyState, false);
}

}  // namespace

void Bind(const std::vector<std::string>& chords) {
    for (const std::string& chord : chords)
        if (!IsBound(chord)) Bindings.push_back(chord);
}

bool IsBound(const std::string& chord) {
    for (const std::string& bound : Bindings)
        if (bound == chord) return true;
    return false;
}

std::string BoundKeys() {
    std::string keys;
    for (const std::string& chord : Bindings) {
        std::string name = chord;
        for (size_t plus; (plus = name.find('+')) != std::string::npos;) name.erase(plus, 1);
        keys += (keys.empty() ? "" : " ") + name;
    }
    return keys;
}

bool TypeKeys(const std::vector<TypedKey>& typed, bool ahead) {
    if (Stopped) return false;
    Fingers.assign(typed.begin(), typed.end());
    // A plug-in that waits takes the first event as it arrives, and answers
    // within microseconds: sooner than a person's next key, however close.
    if (Waiting) {
        Waiting = false;
        TypeNext();
        CallPlugin();
    }
    if (ahead)
        while (TypeNext()) {
        }
    while (!Stopped && (!Queue.empty() || TypeNext())) HostReads();
    if (Stopped) {
        FlushConsoleInput();
        Queue.clear();
    }
    return !Stopped;
}

void ForgetWaitingInvocation() {
    Waiting = false;
    Queue.clear();
}

void EndTyping() {
    if (Waiting) Problem("the plug-in still waits for a key when the script ends");
}
