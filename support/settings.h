// The plug-in's settings store: one registry key per user, at SettingsKeyPath
// below a root key the caller names, opened afresh for every single read or
// write. Nothing is reported: a failed read gives the caller's default, a
// failed write stores nothing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "support/owned_buffers.h"

// Owns one open registry key and closes it when it goes.
class RegistryKey {
public:
    RegistryKey() = default;
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() { reset(); }
    RegistryKey(RegistryKey&& other) noexcept : key_(other.release()) {}
    RegistryKey& operator=(RegistryKey&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY release() {
        HKEY key = key_;
        key_ = nullptr;
        return key;
    }
    void reset(HKEY key = nullptr) {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = key;
    }

private:
    HKEY key_ = nullptr;
};

// Path of the settings key below the root, empty until the host hands over its
// start-up record. An empty path addresses no key at all.
extern ModuleText SettingsKeyPath;
void ReleaseSettingsKeyPath();

// Largest value, terminating zero included, that ReadSettingText reads.
constexpr uint32_t SettingReadBufferSize = 8192;

// Opens the key for writing, creating it and every missing key on its path;
// empty when that fails.
RegistryKey CreateSettingsKey(HKEY root);
// Opens an existing key for reading; empty when it is absent or refused.
RegistryKey OpenSettingsKey(HKEY root);

// Stores the text as REG_SZ, its characters and one zero byte.
void WriteSettingText(HKEY root, const char* name, const char* value);

// Reads a value's raw data into the buffer. True only when the key opened and
// the whole value fitted; *bytesRead (when given) receives the data size then.
bool ReadSettingValue(HKEY root, const char* name, void* buffer, uint32_t size, uint32_t* bytesRead = nullptr);

// Sets result to the value's data up to its first zero byte, or to the default
// when the value can't be read whole. Should memory run short even for the
// default, the result stays as it was.
void ReadSettingText(HKEY root, const char* name, const char* defaultText, BasicText& result);

// Copies at most maxChars characters, stopping at a zero byte, and always
// terminates: dest needs room for maxChars + 1 bytes.
char* CopyTextBounded(char* dest, const char* source, size_t maxChars);
