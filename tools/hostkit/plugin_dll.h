// The plug-in DLL loaded as the file manager loads it: by path, its four
// entry points found by name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/host_interface.h"
#include "tools/hostkit/system_handles.h"

using SetStartupInfoProc = void(__stdcall*)(const StartupRecord*);
using GetPluginInfoProc = void(__stdcall*)(PluginInfoRecord*);
using OpenPluginProc = intptr_t(__stdcall*)(int32_t, intptr_t);
using ConfigureProc = int32_t(__stdcall*)(int32_t);

// An entry point of a loaded module found by name; null when it has none.
template <typename Proc>
Proc FindEntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class PluginDll {
public:
    // Lanternix.dll beside the running program, loaded at once.
    PluginDll();
    // The DLL at `file`, loaded by Load.
    explicit PluginDll(std::string file);
    PluginDll(const PluginDll&) = delete;
    PluginDll& operator=(const PluginDll&) = delete;

    // Lanternix.dll beside the running program.
    static std::string Path();
    const std::string& File() const { return file_; }

    // Loads the DLL afresh and finds its entry points; on failure the error
    // names the file and the system's reason, the missing entry points, or
    // the DLL's width when it is not this program's, and nothing stays
    // loaded.
    bool Load(std::string& error);
    bool Loaded() const { return static_cast<bool>(module_); }
    HMODULE Module() const { return module_.get(); }
    // True when the library really left the process.
    bool Unload();

    // The program to use instead for a DLL of the other width, named in the
    // error; empty when there is none to name.
    std::string OtherWidthHost;

    SetStartupInfoProc SetStartupInfo = nullptr;
    GetPluginInfoProc GetPluginInfo = nullptr;
    OpenPluginProc OpenPlugin = nullptr;
    ConfigureProc Configure = nullptr;

private:
    std::string file_;
    UniqueModule module_;
};
