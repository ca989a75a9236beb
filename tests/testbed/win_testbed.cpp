// The test bed's platform pieces: queued console input, the keys the hook caught, scratch keys.
#include "tests/testbed/win_testbed.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tools/hostkit/key_hook.h"
#include "tools/hostkit/system_handles.h"

// ---- console input -------------------------------------------------------

void QueueConsoleRecord(const INPUT_RECORD& record) { ASSERT_TRUE(QueueConsoleInput(record)); }

void QueueKeyEvent(WORD virtualKey, WORD scanCode, bool down) {
    QueueConsoleRecord(KeyEventRecord(virtualKey, scanCode, down));
}

// ---- synthetic keys --------------------------------------------------------

bool CapturedKey::operator==(const CapturedKey& other) const {
    return VirtualKey == other.VirtualKey && ScanCode == other.ScanCode && IsUp() == other.IsUp() &&
           ExtraInfo == other.ExtraInfo;
}

std::string KeyText(DWORD virtualKey, DWORD scanCode, bool up, ULONG_PTR extraInfo) {
    char text[80];
    std::snprintf(text, sizeof text, "vk 0x%02lX scan 0x%02lX %s extra %lu", static_cast<unsigned long>(virtualKey),
                  static_cast<unsigned long>(scanCode), up ? "up" : "down", static_cast<unsigned long>(extraInfo));
    return text;
}

std::string CtrlPressedAgainKey() { return KeyText(VK_CONTROL, CtrlScanCode, false, 8); }
std::string CtrlReleasedKey() { return KeyText(VK_CONTROL, CtrlScanCode, true, 0); }
std::string EnterKeys(bool up) { return KeyText(VK_RETURN, EnterScanCode, up, 0); }
std::string F3Keys(bool up) { return KeyText(VK_F3, F3ScanCode, up, 0); }

std::string Describe(const CapturedKey& key) {
    return KeyText(key.VirtualKey, key.ScanCode, key.IsUp(), key.ExtraInfo);
}

std::vector<std::string> Describe(const std::vector<CapturedKey>& keys) {
    std::vector<std::string> texts;
    for (const CapturedKey& key : keys) texts.push_back(Describe(key));
    return texts;
}

namespace {
InjectedKeyHook Hook;
}  // namespace

// A hook that could not start shows at the first TakeKeys: its fence never
// comes back.
KeyCapture::KeyCapture() { Hook.Start(); }

KeyCapture& KeyCapture::Instance() {
    static KeyCapture capture;
    return capture;
}

std::vector<CapturedKey> KeyCapture::TakeKeys() {
    bool complete = false;
    const std::vector<SentKey> sent = Hook.Take(complete);
    EXPECT_TRUE(complete) << "the fence key never reached the keyboard hook";
    std::vector<CapturedKey> keys;
    for (const SentKey& key : sent) keys.push_back({key.VirtualKey, key.ScanCode, key.Flags, key.ExtraInfo});
    return keys;
}

// ---- scratch registry keys ---------------------------------------------------

ScratchKey::ScratchKey(const std::string& path) : path_(path) {
    // An empty path names the user's whole hive, which the deletes below
    // would empty: a test that computes one has gone wrong before it began.
    if (path_.empty()) {
        std::fprintf(stderr, "ScratchKey: an empty path would delete all of HKEY_CURRENT_USER\n");
        std::abort();
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
}

ScratchKey::~ScratchKey() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }

bool ScratchKey::Exists() const { return RegistryKeyExists(path_); }

void ScratchKey::SetRaw(const std::string& name, DWORD type, const void* data, DWORD size) const {
    RegistryKey key;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.receive(), nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

void ScratchKey::SetText(const std::string& name, const std::string& text) const {
    SetRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ScratchKey::Get(const std::string& name, DWORD& type, std::vector<uint8_t>& data) const {
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data.assign(size, 0);
        status = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, data.data(), &size);
        data.resize(size);
    }
    return status == ERROR_SUCCESS;
}

std::string TestKeyPath(const std::string& suffix) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string path = "Software\\LanternixTests\\";
    path += test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "NoTest";
    return path + suffix;
}

bool RegistryKeyExists(const std::string& keyPath) {
    RegistryKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
}
