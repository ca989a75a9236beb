// The plug-in's settings store: one registry key per user, at SettingsKeyPath
// below a root key the caller names, opened afresh for every single read or
// write. Every operation answers with the registry's status, so that a value
// that cannot be read is never taken for one that is not there, and a write
// the registry refuses is told as such.
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

// Largest value, terminating zero included, that ReadSettingText reads. A
// longer value is not read at all but counted unreadable (ERROR_MORE_DATA):
// the plug-in's own dialog never stores one that long, so it was written by
// other means, and reading a prefix, or all of it however long, would put a
// list in use that the user never saw and that costs every match its length.
constexpr uint32_t SettingReadBufferSize = 8192;

// Opens the key for writing, creating it and every missing key on its path.
// Open for reading and create for writing stay apart: a read never makes a key.
LONG CreateSettingsKey(HKEY root, RegistryKey& key);
// Opens an existing key for reading; ERROR_FILE_NOT_FOUND when it is absent.
LONG OpenSettingsKey(HKEY root, RegistryKey& key);

// Stores the text as REG_SZ, its characters and one zero byte: ERROR_SUCCESS,
// or why the key could not be made or the value not written.
LONG WriteSettingText(HKEY root, const char* name, const char* value);

// Reads a value's raw data into the buffer: ERROR_SUCCESS only when the key
// opened and the whole value fitted (ERROR_MORE_DATA when it does not);
// *bytesRead (when given) receives the data size then.
LONG ReadSettingValue(HKEY root, const char* name, void* buffer, uint32_t size, uint32_t* bytesRead = nullptr);

// What ReadSettingText found.
enum class SettingOutcome : uint8_t {
    Read,        // the value's text is the result
    Absent,      // neither key nor value exists: nothing is stored
    Unreadable,  // a value may be stored, but it could not be read
};
struct SettingRead {
    SettingOutcome Outcome;
    // Unreadable: the system's error code; ERROR_MORE_DATA for a value longer
    // than the read buffer, ERROR_NOT_ENOUGH_MEMORY when the plug-in's own
    // memory ran short. ERROR_SUCCESS otherwise.
    LONG Reason;
};

// Sets result to the value's data up to its first zero byte when the value
// is read; otherwise result stays as it was.
SettingRead ReadSettingText(HKEY root, const char* name, BasicText& result);
