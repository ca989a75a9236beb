// The plug-in's settings store: one registry key per user, at SettingsKeyPath
// below a root key the caller names, opened afresh for every single read or
// write. Nothing is reported: a failed read gives the caller's default, a
// failed write stores nothing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "support/owned_buffers.h"
#include "support/unique_handle.h"

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

// What ReadSettingText found.
enum class SettingRead : uint8_t {
    Stored,       // the value's text is the result
    Default,      // no whole value to read: the default is the result
    MemoryShort,  // memory ran short: the default is the result, or it stays as it was
};

// Sets result to the value's data up to its first zero byte, or to the default
// when the value can't be read whole. Should memory run short even for the
// default, the result stays as it was. MemoryShort says that the value, if
// there is one, was not read.
SettingRead ReadSettingText(HKEY root, const char* name, const char* defaultText, BasicText& result);
