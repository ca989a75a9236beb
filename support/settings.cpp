#include "support/settings.h"

#include <new>

std::string SettingsKeyPath;

void ReleaseSettingsKeyPath() { std::string().swap(SettingsKeyPath); }

char* CopyTextBounded(char* dest, const char* source, size_t maxChars) {
    size_t count = 0;
    while (count < maxChars && source[count] != '\0') {
        dest[count] = source[count];
        ++count;
    }
    dest[count] = '\0';
    return dest;
}

char* TextToCharBuffer(char* dest, const std::string& text) {
    return CopyTextBounded(dest, text.data(), text.size());
}

void TextFromCharBuffer(const char* source, std::string& text) {
    if (source == nullptr) {
        text.clear();
        return;
    }
    text.assign(source);
}

std::vector<char> CharBufferFor(const std::string& text) {
    std::vector<char> buffer(text.size() + 1);
    TextToCharBuffer(buffer.data(), text);
    return buffer;
}

// The path and value names reach the registry through buffers sized to the
// text: a long path is passed whole, never cut (a cut path names another key).
RegistryKey CreateSettingsKey(HKEY root) {
    if (SettingsKeyPath.empty()) return {};
    std::vector<char> path = CharBufferFor(SettingsKeyPath);
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExA(root, path.data(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                  &key, &disposition);
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

RegistryKey OpenSettingsKey(HKEY root) {
    if (SettingsKeyPath.empty()) return {};
    std::vector<char> path = CharBufferFor(SettingsKeyPath);
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(root, path.data(), 0, KEY_QUERY_VALUE, &key);
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr);
}

void WriteSettingText(HKEY root, const std::string& name, const std::string& value) noexcept {
    try {
        RegistryKey key = CreateSettingsKey(root);
        if (!key) return;
        std::vector<char> data = CharBufferFor(value);
        std::vector<char> valueName = CharBufferFor(name);
        // The data length counts the terminator: REG_SZ data end in one zero byte.
        RegSetValueExA(key.get(), valueName.data(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    } catch (...) {
        // Out of memory: nothing is stored.
    }
}

bool ReadSettingValue(HKEY root, const std::string& name, void* buffer, uint32_t size,
                      uint32_t* bytesRead) noexcept {
    try {
        RegistryKey key = OpenSettingsKey(root);
        if (!key) return false;
        std::vector<char> valueName = CharBufferFor(name);
        DWORD type = 0;
        DWORD count = size;
        // Data larger than the buffer answer ERROR_MORE_DATA: a failure, so the
        // caller's default is used rather than a partial value.
        LONG status = RegQueryValueExA(key.get(), valueName.data(), nullptr, &type, static_cast<BYTE*>(buffer),
                                       &count);
        if (status != ERROR_SUCCESS) return false;
        if (bytesRead != nullptr) *bytesRead = count > size ? size : count;
        return true;
    } catch (...) {
        return false;
    }
}

void ReadSettingText(HKEY root, const std::string& name, const std::string& defaultText,
                     std::string& result) noexcept {
    try {
        // One spare byte past the registry's share: data that hold no zero byte
        // (a REG_SZ stored without one, REG_BINARY, REG_DWORD) end where the
        // data read end, not somewhere beyond them.
        std::vector<char> buffer(SettingReadBufferSize + 1);
        uint32_t bytesRead = 0;
        if (ReadSettingValue(root, name, buffer.data(), SettingReadBufferSize, &bytesRead)) {
            buffer[bytesRead] = '\0';
            TextFromCharBuffer(buffer.data(), result);
            return;
        }
    } catch (...) {
        // Out of memory: fall through to the default.
    }
    try {
        result = defaultText;
    } catch (...) {
        // Not even the default fits in memory: the result stays as it was.
    }
}
