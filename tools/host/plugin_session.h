// The plug-in's session with the file manager: loaded, handed its start-up
// record, asked for its menu entries, invoked with a console event (the keys
// it sends shown and acted on), configured, and loaded again.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/host_interface.h"
#include "tools/hostkit/key_hook.h"
#include "tools/hostkit/plugin_dll.h"

// The plug-in DLL and the start-up record it is handed.
struct LoadedPlugin {
    explicit LoadedPlugin(std::string path) : Dll(std::move(path)) {}
    PluginDll Dll;
    StartupRecord Record{};
};
extern LoadedPlugin* ThePlugin;
extern InjectedKeyHook Capture;

// Hands the plug-in its start-up record.
void HandOverStartupRecord();
// Unloads the plug-in and loads it again.
void Restart();
// The plug-in's menu entries, as GetPluginInfo gives them.
void ShowMenu();
// One invocation of the plug-in, which reads the console event at the head
// of the queue; the keys it sent, shown.
std::vector<SentKey> InvokeOnce();
// The same, the keys then acted on.
void Invoke();
// The settings dialog, and what came of it.
void RunConfigure();
