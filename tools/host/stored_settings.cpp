// Where the plug-in's settings are, and the pattern list stored there.
#include "tools/host/stored_settings.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "relay/plugin_constants.h"
#include "support/settings.h"
#include "tools/host/text.h"
#include "tools/host/transcript.h"
#include "tools/hostkit/system_error.h"
#include "tools/hostkit/system_handles.h"

std::string SettingsRoot;

std::string PluginKeyPath() { return SettingsRoot + SettingsKeyName; }

void DeletePluginKey() { RegDeleteTreeA(HKEY_CURRENT_USER, PluginKeyPath().c_str()); }

long StoredList(std::string& value) {
    RegistryKey key;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, PluginKeyPath().c_str(), 0, KEY_QUERY_VALUE, key.receive());
    if (status != ERROR_SUCCESS) return status;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size() - 1), type = 0;
    status =
        RegQueryValueExA(key.get(), PatternListValueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (status == ERROR_SUCCESS) value.assign(data.data(), strnlen(data.data(), size));
    return status;
}

namespace {
// The plug-in reads no value longer than its read buffer holds: it uses its
// default list then, whatever the registry holds.
bool LongerThanPluginReads(const std::string& value) { return value.size() >= SettingReadBufferSize; }

// What the plug-in finds in the registry: the list, or why none, and then
// the list it uses.
std::string StoredListText() {
    std::string value;
    const long status = StoredList(value);
    if (status == ERROR_SUCCESS && LongerThanPluginReads(value))
        return std::string(PatternListValueName) + " holds " + std::to_string(value.size()) +
               " characters, more than the plug-in reads: the plug-in uses its default list";
    if (status == ERROR_SUCCESS) return std::string(PatternListValueName) + " = " + Quoted(OemToUtf8(value));
    if (status == ERROR_FILE_NOT_FOUND)
        return std::string("no value ") + PatternListValueName + " stored: the plug-in uses its default list";
    return std::string(PatternListValueName) + " cannot be read (" +
           SystemErrorText(static_cast<unsigned long>(status)) + "): the plug-in uses its default list";
}

}  // namespace

void ShowRegistry() { Say("registry", StoredListText()); }

std::string ListInUse() {
    std::string value;
    const long status = StoredList(value);
    if (status == ERROR_SUCCESS && LongerThanPluginReads(value))
        return "the plug-in's default list: the stored one is longer than " +
               std::to_string(SettingReadBufferSize - 1) + " characters";
    if (status == ERROR_SUCCESS) return "the stored one, " + Quoted(OemToUtf8(value));
    if (status == ERROR_FILE_NOT_FOUND) return "the plug-in's default list: nothing is stored";
    return "the plug-in's default list: the stored one cannot be read (" +
           SystemErrorText(static_cast<unsigned long>(status)) + ")";
}
