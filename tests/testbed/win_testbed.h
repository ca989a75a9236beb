// Platform pieces of the test bed: the console input queue, the synthetic keys
// seen by a low-level keyboard hook, a watchdog against blocking calls, the
// plug-in DLL loaded as the host loads it, and scratch registry keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/host_interface.h"

// ---- console input -------------------------------------------------------

// True when standard input is a console that accepts queued events.
bool ConsoleInputAvailable();
void FlushConsoleInput();
void QueueConsoleRecord(const INPUT_RECORD& record);
void QueueKeyEvent(WORD virtualKey, WORD scanCode, bool down);
INPUT_RECORD MouseMoveRecord(SHORT x, SHORT y);
INPUT_RECORD FocusRecord(bool focused);
DWORD PendingConsoleEvents();

// ---- synthetic keys --------------------------------------------------------

struct CapturedKey {
    DWORD VirtualKey;
    DWORD ScanCode;
    DWORD Flags;  // low-level hook flags: 0x80 key-up, 0x10 injected
    ULONG_PTR ExtraInfo;
    bool IsUp() const { return (Flags & LLKHF_UP) != 0; }
    bool operator==(const CapturedKey& other) const;
};
std::string Describe(const CapturedKey& key);
std::vector<std::string> Describe(const std::vector<CapturedKey>& keys);

// Expected key in the form Describe gives: "vk 0x11 scan 0x1D down extra 8".
std::string KeyText(DWORD virtualKey, DWORD scanCode, bool up, ULONG_PTR extraInfo);

// A hook on its own thread that records and swallows every keyboard event,
// so synthetic keys never reach the console queue.
class KeyCapture {
public:
    static KeyCapture& Instance();
    // Keys seen since the last call, complete: a fence key is sent and waited
    // for, so every key sent before this call is in the result.
    std::vector<CapturedKey> TakeKeys();

private:
    KeyCapture();
};

// ---- watchdog -------------------------------------------------------------

// Ends the process with a message when the scope is not left within the time:
// a console read that blocks would otherwise hang the test run.
class Watchdog {
public:
    Watchdog(const char* what, DWORD milliseconds);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    HANDLE done_;
    HANDLE thread_;
};

// ---- the plug-in DLL --------------------------------------------------------

using SetStartupInfoProc = void(__stdcall*)(const StartupRecord*);
using GetPluginInfoProc = void(__stdcall*)(PluginInfoRecord*);
using OpenPluginProc = int32_t(__stdcall*)(int32_t, int32_t);
using ConfigureProc = int32_t(__stdcall*)(int32_t);

// Lanternix.dll from the test program's folder, loaded by name and its four
// entry points found by name, as the host does. Each instance is a fresh load.
class PluginDll {
public:
    PluginDll();
    ~PluginDll();
    PluginDll(const PluginDll&) = delete;
    PluginDll& operator=(const PluginDll&) = delete;

    static std::string Path();
    bool Loaded() const { return module_ != nullptr; }

    SetStartupInfoProc SetStartupInfo = nullptr;
    GetPluginInfoProc GetPluginInfo = nullptr;
    OpenPluginProc OpenPlugin = nullptr;
    ConfigureProc Configure = nullptr;

private:
    HMODULE module_ = nullptr;
};

// ---- scratch registry keys ---------------------------------------------------

// A key path under HKEY_CURRENT_USER for one test, deleted before and after.
class ScratchKey {
public:
    explicit ScratchKey(const std::string& path);
    ~ScratchKey();
    const std::string& Path() const { return path_; }
    bool Exists() const;
    void SetRaw(const std::string& name, DWORD type, const void* data, DWORD size) const;
    void SetText(const std::string& name, const std::string& text) const;  // with terminator
    // Type and data of a value; false when absent.
    bool Get(const std::string& name, DWORD& type, std::vector<uint8_t>& data) const;

private:
    std::string path_;
};

// A scratch key path named after the running test.
std::string TestKeyPath(const std::string& suffix = "");
