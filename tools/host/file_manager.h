// The file manager's part, played by the stand-in host: it loads the
// plug-in, invokes it with a console event, shows the keys it sends and acts
// on them as the file manager would: it enters folders, says what it would
// run, shows files in its viewer.
#pragma once

#include <string>

#include "tools/host/keys.h"
#include "tools/hostkit/key_hook.h"
#include "tools/hostkit/plugin_dll.h"

// The plug-in DLL and what it is handed.
struct LoadedPlugin {
    explicit LoadedPlugin(std::string path) : Dll(std::move(path)) {}
    PluginDll Dll;
    std::string RegistryRoot;  // kept alive: the plug-in reads it during SetStartupInfo
    StartupRecord Record{};
};
extern LoadedPlugin* ThePlugin;
extern InjectedKeyHook Capture;

// The plug-in's key under HKEY_CURRENT_USER.
std::string PatternKeyPath();
// Hands the plug-in its start-up record.
void StartPlugin();
// Unloads the plug-in and loads it again.
void Restart();

// Lists the folder (a full path) in the panel, the cursor on the item of the
// given real name, else on the first. False, with a reason, when it cannot.
bool ShowFolder(const std::string& path, const std::string& cursorOn, std::string& error);
void ShowPanel();
void ShowMenu();
// The stored pattern list, or that there is none.
void ShowRegistry();
// The stored list, quoted, or that the plug-in's default list applies.
std::string ListInUse();
bool MoveCursor(const std::string& which);

// Puts a key event into the console queue.
void QueueKey(const KeyName& key, bool down);
// One invocation of the plug-in for the console event at the head of the
// queue, its keys shown and acted on.
void Invoke();
// The settings dialog, and what came of it.
void RunConfigure();
