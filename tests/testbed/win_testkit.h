// Platform pieces of the test bed that need no test framework, so the
// benchmark uses them as well: console input records and the plug-in DLL
// loaded as the host loads it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/host_interface.h"

// ---- console input -------------------------------------------------------

// True when standard input is a console that accepts queued events.
bool ConsoleInputAvailable();
void FlushConsoleInput();
DWORD PendingConsoleEvents();

// A key event record as the console queues it for one press or release.
INPUT_RECORD KeyEventRecord(WORD virtualKey, WORD scanCode, bool down);
INPUT_RECORD MouseMoveRecord(SHORT x, SHORT y);
INPUT_RECORD FocusRecord(bool focused);

// ---- the plug-in DLL --------------------------------------------------------

using SetStartupInfoProc = void(__stdcall*)(const StartupRecord*);
using GetPluginInfoProc = void(__stdcall*)(PluginInfoRecord*);
using OpenPluginProc = int32_t(__stdcall*)(int32_t, int32_t);
using ConfigureProc = int32_t(__stdcall*)(int32_t);

// An entry point of a loaded module found by name; null when it has none.
template <typename Proc>
Proc FindEntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

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
