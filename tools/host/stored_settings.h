// The plug-in's stored settings as the file manager keeps them: the registry
// root it hands the plug-in, the plug-in's key below it, and the pattern list
// stored there.
#pragma once

#include <string>

// The root under HKEY_CURRENT_USER that the start-up record names; it lives
// as long as the program, so the plug-in may read it whenever it is handed.
extern std::string SettingsRoot;

// The plug-in's key under HKEY_CURRENT_USER.
std::string PluginKeyPath();
// The plug-in's key and all below it, so that it starts from its default list.
void DeletePluginKey();
// The stored list as the plug-in wrote it (OEM code page): ERROR_SUCCESS,
// ERROR_FILE_NOT_FOUND when none is stored, or why it cannot be read.
long StoredList(std::string& value);
// The stored pattern list, or that there is none.
void ShowRegistry();
// The stored list, quoted, or that the plug-in's default list applies.
std::string ListInUse();
