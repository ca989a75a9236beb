// Platform pieces of the test bed: queueing console input, the synthetic keys
// seen by a low-level keyboard hook, and scratch registry keys. The pieces the
// host and the benchmark share (console records, the plug-in DLL loaded as
// the host loads it, the watchdog against blocking calls) are in hostkit/,
// included here.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/host_interface.h"
#include "tools/hostkit/console_input.h"
#include "tools/hostkit/plugin_dll.h"
#include "tools/hostkit/watchdog.h"

// ---- console input -------------------------------------------------------

void QueueConsoleRecord(const INPUT_RECORD& record);
void QueueKeyEvent(WORD virtualKey, WORD scanCode, bool down);

// ---- synthetic keys --------------------------------------------------------

struct CapturedKey {
    DWORD VirtualKey;
    DWORD ScanCode;
    DWORD Flags;  // low-level hook flags: 0x80 key-up, 0x10 injected
    ULONG_PTR ExtraInfo;
    bool IsUp() const { return (Flags & LLKHF_UP) != 0; }
    bool operator==(const CapturedKey& other) const;
};
std::string Describe(const CapturedKey& key);
std::vector<std::string> Describe(const std::vector<CapturedKey>& keys);

// Expected key in the form Describe gives: "vk 0x11 scan 0x1D down extra 8".
std::string KeyText(DWORD virtualKey, DWORD scanCode, bool up, ULONG_PTR extraInfo);

// Scan codes of the keys the tests queue and the relay sends. The letter A has
// no VK_ name: its virtual key is 0x41, the character 'A'.
constexpr WORD CtrlScanCode = 0x1D;
constexpr WORD EnterScanCode = 0x1C;
constexpr WORD F3ScanCode = 0x3D;
constexpr WORD LetterAKey = 0x41, LetterAScanCode = 0x1E;

// The keys the relay sends, in the form Describe gives: Ctrl pressed again
// (marked 8) before a key it hands back, Ctrl released, and Enter or F3.
std::string CtrlPressedAgainKey();
std::string CtrlReleasedKey();
std::string EnterKeys(bool up);
std::string F3Keys(bool up);

// The stand-in host's keyboard hook (hostkit/key_hook.h), on its own
// thread: it records and swallows every injected key, so synthetic keys never
// reach the console queue.
class KeyCapture {
public:
    static KeyCapture& Instance();
    // Keys seen since the last call, complete: a fence key is sent and waited
    // for, so every key sent before this call is in the result.
    std::vector<CapturedKey> TakeKeys();

private:
    KeyCapture();
};

// ---- scratch registry keys ---------------------------------------------------

// A key path under HKEY_CURRENT_USER for one test, deleted before and after.
class ScratchKey {
public:
    explicit ScratchKey(const std::string& path);
    ~ScratchKey();
    const std::string& Path() const { return path_; }
    bool Exists() const;
    void SetRaw(const std::string& name, DWORD type, const void* data, DWORD size) const;
    void SetText(const std::string& name, const std::string& text) const;  // with terminator
    // Type and data of a value; false when absent.
    bool Get(const std::string& name, DWORD& type, std::vector<uint8_t>& data) const;

private:
    std::string path_;
};

// A scratch key path named after the running test.
std::string TestKeyPath(const std::string& suffix = "");

// True when the key path exists under HKEY_CURRENT_USER.
bool RegistryKeyExists(const std::string& keyPath);
