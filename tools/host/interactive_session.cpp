// The keyboard session: typed lines, the dialog answered by hand, the host's own keys, the key loop.
#include "tools/host/interactive_session.h"

#include <windows.h>

#include <string>

#include "tools/host/dialog.h"
#include "tools/host/help_window.h"
#include "tools/host/keys.h"
#include "tools/host/options.h"
#include "tools/host/panel_view.h"
#include "tools/host/plugin_services.h"
#include "tools/host/plugin_session.h"
#include "tools/host/stored_settings.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/console_input.h"

namespace {

bool IsCtrlC(const KEY_EVENT_RECORD& key) {
    return key.bKeyDown && key.wVirtualKeyCode == 'C' &&
           (key.dwControlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
}

}  // namespace

bool ReadKeyPress(KEY_EVENT_RECORD& key) {
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!ReadConsoleInputW(ConsoleInput(), &record, 1, &count) || count == 0) return false;
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
        key = record.Event.KeyEvent;
        if (IsCtrlC(key)) EndOnCtrlC();
        return true;
    }
}

namespace {

// A line typed at the console, echoed as typed, in UTF-8; false when Esc
// ends it instead of Enter.
bool ReadTypedLine(std::string& line) {
    HANDLE input = ConsoleInput();
    DWORD mode = 0;
    GetConsoleMode(input, &mode);
    SetConsoleMode(input, ENABLE_EXTENDED_FLAGS);
    FlushConsoleInputBuffer(input);
    std::wstring typed;
    bool entered = false;
    KEY_EVENT_RECORD key;
    while (ReadKeyPress(key)) {
        if (key.wVirtualKeyCode == VK_RETURN) {
            entered = true;
            break;
        }
        if (key.wVirtualKeyCode == VK_ESCAPE) break;
        if (key.wVirtualKeyCode == VK_BACK) {
            if (!typed.empty()) {
                typed.pop_back();
                PrintPart("\b \b");
            }
        } else if (key.uChar.UnicodeChar >= 0x20) {
            typed += key.uChar.UnicodeChar;
            PrintPart(Narrow(std::wstring(1, key.uChar.UnicodeChar)));
        }
    }
    SetConsoleMode(input, mode);
    Print(entered ? "" : " (Esc)");
    line = Narrow(typed);
    return entered;
}

void PrintKeysHelp() {
    Print("");
    Print("Each key press invokes the plug-in once, with that key as its console event;");
    Print("releasing Ctrl does too. A terminal does not report Ctrl on its own, so:");
    Print("  Space  stands for releasing Ctrl (Ctrl+arrow also ends with a Ctrl release)");
    Print("  F1  this help and the panel    F2  the plug-in's settings dialog");
    Print("  F5  restart the plug-in        F10 or Esc  quit    Ctrl+C  stop at once");
    Print("  Shift+F1, Shift+F2  the plug-in's help, as on its menu and configuration menu entries");
}

// The dialog answered at the keyboard: a new text for the edit field, then
// the button that closes it.
int32_t AnswerInteractively(DialogItemRecord* items, int32_t count) {
    const int32_t edit = EditFieldIndex(items, count);
    while (edit >= 0) {
        PrintPart("    New text (Enter keeps it, +TEXT adds TEXT at the end, Esc closes the dialog): ");
        std::string line;
        if (!ReadTypedLine(line)) return CloseWith(items, count, {AnswerKind::Escape, "", 0, 0});
        if (line.empty()) break;
        const bool append = line[0] == '+';
        std::string oem, refused;
        if (!Utf8ToOem(append ? line.substr(1) : line, oem, refused)) {
            Say("", refused + " cannot be typed here: the " + OemCodePageName() + " has no place for it");
            continue;
        }
        ApplyEdit(items, count, {append ? AnswerKind::Append : AnswerKind::Set, oem, 0, 0});
        break;
    }
    std::string choices;
    int32_t number = 0;
    for (int32_t i = 0; i < count; ++i)
        if (items[i].ItemType == ButtonItemType)
            choices +=
                (choices.empty() ? "" : ", ") + std::to_string(++number) + " " + Quoted(OemToUtf8(ItemText(items[i])));
    PrintPart("    Close with a button (" + choices + "; Esc or anything else closes without one): ");
    DialogAnswer answer{AnswerKind::Escape, "", 0, 0};
    std::string line, oem, refused;
    if (ReadTypedLine(line) && Utf8ToOem(Trim(line), oem, refused)) {
        DialogAnswer typed;
        if (ParseAnswer("button " + oem, typed) && ButtonIndex(items, count, typed) >= 0) answer = typed;
    }
    return CloseWith(items, count, answer);
}

// A message box answered at the keyboard: a button's number, Enter for the
// first, Esc for none.
int32_t AnswerMessageBoxInteractively(const std::vector<std::string>& buttons) {
    std::string choices;
    for (size_t i = 0; i < buttons.size(); ++i)
        choices += (i == 0 ? "" : ", ") + std::to_string(i + 1) + " " + Quoted(buttons[i]);
    PrintPart("    Close with a button (" + choices + "; Enter for the first, Esc for none): ");
    std::string line, oem, refused;
    if (!ReadTypedLine(line)) return -1;
    if (Trim(line).empty()) return 0;
    DialogAnswer typed;
    if (!Utf8ToOem(Trim(line), oem, refused) || !ParseAnswer("button " + oem, typed)) return -1;
    return MessageBoxButton(buttons, typed);
}

// The host's own keys, which never reach the plug-in.
void ShowHelpAndPanel() {
    PrintKeysHelp();
    ShowPanel();
}

void OpenSettings() {
    Print("> settings dialog");
    RunConfigure();
    ShowRegistry();
}

void RestartPlugin() {
    Print("> restart");
    Restart();
}

struct HostKey {
    WORD VirtualKey;
    void (*Action)();
};
const HostKey HostKeys[] = {{VK_F1, ShowHelpAndPanel}, {VK_F2, OpenSettings}, {VK_F5, RestartPlugin}};

// Runs the host's action for a pressed key, its event taken from the queue;
// false when the key is none of the host's.
bool RunHostKey(WORD virtualKey) {
    for (const HostKey& key : HostKeys) {
        if (key.VirtualKey != virtualKey) continue;
        DropConsoleEvent();
        key.Action();
        return true;
    }
    return false;
}

}  // namespace

void EndOnCtrlC() {
    Print("");
    Print("Stopped with Ctrl+C: the session ends here.");
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), ExitInterrupted);
    ExitProcess(ExitInterrupted);
}

int RunInteractive() {
    HANDLE input = ConsoleInput();
    SetConsoleMode(input, ENABLE_EXTENDED_FLAGS);
    Host.AnswerDialog = AnswerInteractively;
    Host.AnswerMessageBox = AnswerMessageBoxInteractively;
    PrintKeysHelp();
    Print("");
    ShowPanel();
    bool lastWasCtrlDown = false;
    for (;;) {
        WaitForSingleObject(input, INFINITE);
        INPUT_RECORD record;
        if (!PeekConsoleEvent(record)) continue;
        if (record.EventType != KEY_EVENT) {
            DropConsoleEvent();
            continue;
        }
        const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
        if (IsCtrlC(key)) EndOnCtrlC();
        const WORD vk = key.wVirtualKeyCode;
        const bool down = key.bKeyDown != 0;
        // One invocation per key press: key releases are dropped, except the
        // release of Ctrl, which is what the plug-in acts on; a held Ctrl
        // repeats its press, and only the first counts.
        if ((!down && vk != VK_CONTROL) || (down && vk == VK_CONTROL && lastWasCtrlDown)) {
            DropConsoleEvent();
            continue;
        }
        lastWasCtrlDown = down && vk == VK_CONTROL;
        // A terminal reports Shift and Alt only as part of a chord, whose key
        // follows with the modifier held: on their own they are no key press.
        if (down && (vk == VK_SHIFT || vk == VK_MENU)) {
            DropConsoleEvent();
            continue;
        }
        Print("");
        if (down && (vk == VK_F10 || vk == VK_ESCAPE)) {
            DropConsoleEvent();
            break;
        }
        if (down && (vk == VK_F1 || vk == VK_F2) && (key.dwControlKeyState & SHIFT_PRESSED) != 0) {
            DropConsoleEvent();
            Print("> Shift+" + VirtualKeyName(vk) + ": the plug-in's help");
            BrowseHelp(vk == VK_F1 ? HelpEntry::PluginMenu : HelpEntry::ConfigMenu);
            continue;
        }
        if (down && RunHostKey(vk)) continue;
        if (down && vk == VK_SPACE) {
            DropConsoleEvent();
            KeyName ctrl{};
            FindKey("Ctrl", ctrl);
            QueueConsoleInputFirst(KeyEventRecord(ctrl.VirtualKey, ctrl.ScanCode, false));
            Print("> Space: Ctrl released");
            Say("console", "Ctrl released");
        } else {
            // A terminal's arrow and editing keys are the grey ones, but Wine's
            // console leaves out the ENHANCED_KEY a keyboard's console sets, and
            // the file manager would read them as keypad keys: the host adds it.
            KeyName named{};
            if (FindKey(VirtualKeyName(vk), named) && named.Enhanced && (key.dwControlKeyState & ENHANCED_KEY) == 0) {
                INPUT_RECORD grey = record;
                grey.Event.KeyEvent.dwControlKeyState |= ENHANCED_KEY;
                DropConsoleEvent();
                QueueConsoleInputFirst(grey);
            }
            Print("> " + VirtualKeyName(vk) + (down ? " pressed" : " released"));
            Say("console", VirtualKeyName(vk) + (down ? " pressed" : " released") + " (vk " + Hex(vk) + ", scan " +
                               Hex(key.wVirtualScanCode) + ")");
        }
        Invoke();  // the plug-in reads the event itself
    }
    Print(ProblemCount() > 0
              ? "Bye; " + Counted(static_cast<size_t>(ProblemCount()), "problem") + " marked \"problem\" above."
              : "Bye.");
    return ProblemCount() > 0 ? ExitProblems : ExitSuccess;
}
