// The settings store: the key's path, its five operations on the registry.
#include "support/settings.h"

#include <cstring>

ModuleText SettingsKeyPath;

void ReleaseSettingsKeyPath() { SettingsKeyPath.clear(); }

namespace {

// The registry's answer for a key or a value that does not exist. Any other
// failure may hide a stored value, so it never counts as absent.
bool IsAbsent(LONG status) { return status == ERROR_FILE_NOT_FOUND; }

}  // namespace

// The path reaches the registry whole, however long: a cut path names another
// key.
LONG CreateSettingsKey(HKEY root, RegistryKey& key) {
    key.reset();
    if (SettingsKeyPath.empty()) return ERROR_BAD_PATHNAME;
    DWORD disposition = 0;
    const LONG status = RegCreateKeyExA(root, SettingsKeyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                        nullptr, key.receive(), &disposition);
    if (status != ERROR_SUCCESS) key.release();  // a failed call leaves no key to close, whatever it wrote
    return status;
}

LONG OpenSettingsKey(HKEY root, RegistryKey& key) {
    key.reset();
    if (SettingsKeyPath.empty()) return ERROR_FILE_NOT_FOUND;
    const LONG status = RegOpenKeyExA(root, SettingsKeyPath.c_str(), 0, KEY_QUERY_VALUE, key.receive());
    if (status != ERROR_SUCCESS) key.release();  // a failed call leaves no key to close, whatever it wrote
    return status;
}

LONG WriteSettingText(HKEY root, const char* name, const char* value) {
    RegistryKey key;
    const LONG status = CreateSettingsKey(root, key);
    if (status != ERROR_SUCCESS) return status;
    // The data length counts the terminator: REG_SZ data end in one zero byte.
    const size_t bytes = std::strlen(value) + 1;
    return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(bytes));
}

LONG ReadSettingValue(HKEY root, const char* name, void* buffer, uint32_t size, uint32_t* bytesRead) {
    RegistryKey key;
    const LONG opened = OpenSettingsKey(root, key);
    if (opened != ERROR_SUCCESS) return opened;
    DWORD type = 0;
    DWORD count = size;
    // Data larger than the buffer answer ERROR_MORE_DATA: never a partial value.
    const LONG status = RegQueryValueExA(key.get(), name, nullptr, &type, static_cast<BYTE*>(buffer), &count);
    if (status != ERROR_SUCCESS) return status;
    if (bytesRead != nullptr) *bytesRead = count > size ? size : count;
    return ERROR_SUCCESS;
}

SettingRead ReadSettingText(HKEY root, const char* name, BasicText& result) {
    // One spare byte past the registry's share: data that hold no zero byte
    // (a REG_SZ stored without one, REG_BINARY, REG_DWORD) end where the data
    // read end, not somewhere beyond them. Without memory for it, whatever is
    // stored counts as unreadable: absent is known only once the registry says so.
    OwnedArray<char> buffer;
    if (!buffer.Allocate(SettingReadBufferSize + 1)) return {SettingOutcome::Unreadable, ERROR_NOT_ENOUGH_MEMORY};
    uint32_t bytesRead = 0;
    const LONG status = ReadSettingValue(root, name, buffer.data(), SettingReadBufferSize, &bytesRead);
    if (IsAbsent(status)) return {SettingOutcome::Absent, ERROR_SUCCESS};
    if (status != ERROR_SUCCESS) return {SettingOutcome::Unreadable, status};
    buffer[bytesRead] = '\0';
    if (!result.Assign(buffer.data())) return {SettingOutcome::Unreadable, ERROR_NOT_ENOUGH_MEMORY};
    return {SettingOutcome::Read, ERROR_SUCCESS};
}
