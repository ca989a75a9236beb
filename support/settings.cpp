// The settings store: the key's path, its five operations on the registry.
#include "support/settings.h"

#include <cstring>

ModuleText SettingsKeyPath;

void ReleaseSettingsKeyPath() { SettingsKeyPath.clear(); }

// The path reaches the registry whole, however long: a cut path names another
// key.
RegistryKey CreateSettingsKey(HKEY root) {
    if (SettingsKeyPath.empty()) return {};
    RegistryKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, SettingsKeyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        key.receive(), &disposition) != ERROR_SUCCESS)
        key.release();  // a failed call leaves no key to close, whatever it wrote
    return key;
}

RegistryKey OpenSettingsKey(HKEY root) {
    if (SettingsKeyPath.empty()) return {};
    RegistryKey key;
    if (RegOpenKeyExA(root, SettingsKeyPath.c_str(), 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
        key.release();  // a failed call leaves no key to close, whatever it wrote
    return key;
}

void WriteSettingText(HKEY root, const char* name, const char* value) {
    RegistryKey key = CreateSettingsKey(root);
    if (!key) return;
    // The data length counts the terminator: REG_SZ data end in one zero byte.
    const size_t bytes = std::strlen(value) + 1;
    RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(bytes));
}

bool ReadSettingValue(HKEY root, const char* name, void* buffer, uint32_t size, uint32_t* bytesRead) {
    RegistryKey key = OpenSettingsKey(root);
    if (!key) return false;
    DWORD type = 0;
    DWORD count = size;
    // Data larger than the buffer answer ERROR_MORE_DATA: a failure, so the
    // caller's default is used rather than a partial value.
    LONG status = RegQueryValueExA(key.get(), name, nullptr, &type, static_cast<BYTE*>(buffer), &count);
    if (status != ERROR_SUCCESS) return false;
    if (bytesRead != nullptr) *bytesRead = count > size ? size : count;
    return true;
}

SettingRead ReadSettingText(HKEY root, const char* name, const char* defaultText, BasicText& result) {
    // One spare byte past the registry's share: data that hold no zero byte
    // (a REG_SZ stored without one, REG_BINARY, REG_DWORD) end where the data
    // read end, not somewhere beyond them.
    OwnedArray<char> buffer;
    uint32_t bytesRead = 0;
    SettingRead read = SettingRead::Default;
    if (!buffer.Allocate(SettingReadBufferSize + 1)) {
        read = SettingRead::MemoryShort;
    } else if (ReadSettingValue(root, name, buffer.data(), SettingReadBufferSize, &bytesRead)) {
        buffer[bytesRead] = '\0';
        if (result.Assign(buffer.data())) return SettingRead::Stored;
        read = SettingRead::MemoryShort;
    }
    // No value, or no memory for it: the default, when it fits in memory.
    if (!result.Assign(defaultText)) read = SettingRead::MemoryShort;
    return read;
}
