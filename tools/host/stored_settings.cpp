// Where the plug-in's settings are, and the pattern list stored there.
#include "tools/host/stored_settings.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "relay/plugin_constants.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/system_handles.h"

std::string SettingsRoot;

std::string PluginKeyPath() { return SettingsRoot + SettingsKeyName; }

void DeletePluginKey() { RegDeleteTreeA(HKEY_CURRENT_USER, PluginKeyPath().c_str()); }

bool StoredList(std::string& value) {
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PluginKeyPath().c_str(), 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
        return false;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size() - 1), type = 0;
    if (RegQueryValueExA(key.get(), PatternListValueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return false;
    value.assign(data.data(), strnlen(data.data(), size));
    return true;
}

void ShowRegistry() {
    std::string value;
    if (StoredList(value))
        Say("registry", std::string(PatternListValueName) + " = " + Quoted(OemToUtf8(value)));
    else
        Say("registry", std::string("no value ") + PatternListValueName + " stored: the plug-in uses its default list");
}

std::string ListInUse() {
    std::string value;
    if (StoredList(value)) return "the stored one, " + Quoted(OemToUtf8(value));
    return "the plug-in's default list: nothing is stored";
}
