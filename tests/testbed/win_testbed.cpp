#include "tests/testbed/win_testbed.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <sstream>

// ---- console input -------------------------------------------------------

namespace {
HANDLE ConsoleIn() { return GetStdHandle(STD_INPUT_HANDLE); }
}  // namespace

bool ConsoleInputAvailable() {
    DWORD mode = 0;
    return GetConsoleMode(ConsoleIn(), &mode) != 0;
}

void FlushConsoleInput() { FlushConsoleInputBuffer(ConsoleIn()); }

void QueueConsoleRecord(const INPUT_RECORD& record) {
    DWORD written = 0;
    ASSERT_TRUE(WriteConsoleInputA(ConsoleIn(), &record, 1, &written));
    ASSERT_EQ(written, 1u);
}

void QueueKeyEvent(WORD virtualKey, WORD scanCode, bool down) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
    record.Event.KeyEvent.wVirtualScanCode = scanCode;
    QueueConsoleRecord(record);
}

INPUT_RECORD MouseMoveRecord(SHORT x, SHORT y) {
    INPUT_RECORD record{};
    record.EventType = MOUSE_EVENT;
    record.Event.MouseEvent.dwMousePosition = {x, y};
    record.Event.MouseEvent.dwEventFlags = MOUSE_MOVED;
    return record;
}

INPUT_RECORD FocusRecord(bool focused) {
    INPUT_RECORD record{};
    record.EventType = FOCUS_EVENT;
    record.Event.FocusEvent.bSetFocus = focused ? TRUE : FALSE;
    return record;
}

DWORD PendingConsoleEvents() {
    DWORD count = 0;
    GetNumberOfConsoleInputEvents(ConsoleIn(), &count);
    return count;
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

std::string Describe(const CapturedKey& key) {
    return KeyText(key.VirtualKey, key.ScanCode, key.IsUp(), key.ExtraInfo);
}

std::vector<std::string> Describe(const std::vector<CapturedKey>& keys) {
    std::vector<std::string> texts;
    for (const CapturedKey& key : keys) texts.push_back(Describe(key));
    return texts;
}

namespace {

// The fence key: F24 with an extra-info value the plug-in never sends.
constexpr BYTE FenceKey = VK_F24;
constexpr ULONG_PTR FenceExtraInfo = 0x46454E43;

std::mutex CaptureLock;
std::vector<CapturedKey> Captured;
HANDLE CaptureReady = nullptr;

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        std::lock_guard<std::mutex> lock(CaptureLock);
        Captured.push_back({event->vkCode, event->scanCode, event->flags, event->dwExtraInfo});
        return 1;  // swallowed: the key goes no further
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI HookThread(LPVOID) {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here
    SetEvent(CaptureReady);
    if (hook == nullptr) return 1;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    UnhookWindowsHookEx(hook);
    return 0;
}

bool WaitForFence(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        {
            std::lock_guard<std::mutex> lock(CaptureLock);
            for (const CapturedKey& key : Captured)
                if (key.VirtualKey == FenceKey && key.ExtraInfo == FenceExtraInfo && key.IsUp()) return true;
        }
        Sleep(1);
    }
    return false;
}

void SendFence() {
    keybd_event(FenceKey, 0, 0, FenceExtraInfo);
    keybd_event(FenceKey, 0, KEYEVENTF_KEYUP, FenceExtraInfo);
}

}  // namespace

KeyCapture::KeyCapture() {
    CaptureReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, HookThread, nullptr, 0, nullptr);
    WaitForSingleObject(CaptureReady, 10000);
    CloseHandle(thread);
    // The first key after installing a hook can be missed: warm up until a
    // fence is seen.
    for (int attempt = 0; attempt < 50; ++attempt) {
        SendFence();
        if (WaitForFence(200)) break;
    }
    std::lock_guard<std::mutex> lock(CaptureLock);
    Captured.clear();
}

KeyCapture& KeyCapture::Instance() {
    static KeyCapture capture;
    return capture;
}

std::vector<CapturedKey> KeyCapture::TakeKeys() {
    SendFence();
    EXPECT_TRUE(WaitForFence(5000)) << "the fence key never reached the keyboard hook";
    std::lock_guard<std::mutex> lock(CaptureLock);
    std::vector<CapturedKey> keys;
    for (const CapturedKey& key : Captured)
        if (!(key.VirtualKey == FenceKey && key.ExtraInfo == FenceExtraInfo)) keys.push_back(key);
    Captured.clear();
    return keys;
}

// ---- watchdog -------------------------------------------------------------

namespace {
struct WatchdogArgs {
    HANDLE Done;
    DWORD Milliseconds;
    char What[200];
};

DWORD WINAPI WatchdogThread(LPVOID parameter) {
    auto* args = static_cast<WatchdogArgs*>(parameter);
    if (WaitForSingleObject(args->Done, args->Milliseconds) == WAIT_TIMEOUT) {
        std::fprintf(stderr, "\nWATCHDOG: '%s' did not finish within %lu ms; ending the test program\n", args->What,
                     static_cast<unsigned long>(args->Milliseconds));
        std::fflush(stderr);
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 99);
    }
    delete args;
    return 0;
}
}  // namespace

Watchdog::Watchdog(const char* what, DWORD milliseconds) {
    done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto* args = new WatchdogArgs{done_, milliseconds, {}};
    std::snprintf(args->What, sizeof args->What, "%s", what);
    thread_ = CreateThread(nullptr, 0, WatchdogThread, args, 0, nullptr);
}

Watchdog::~Watchdog() {
    SetEvent(done_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(done_);
}

// ---- the plug-in DLL --------------------------------------------------------

std::string PluginDll::Path() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + "Lanternix.dll";
}

namespace {
template <typename Proc>
Proc FindEntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

PluginDll::PluginDll() {
    module_ = LoadLibraryA(Path().c_str());
    if (module_ == nullptr) return;
    SetStartupInfo = FindEntryPoint<SetStartupInfoProc>(module_, "SetStartupInfo");
    GetPluginInfo = FindEntryPoint<GetPluginInfoProc>(module_, "GetPluginInfo");
    OpenPlugin = FindEntryPoint<OpenPluginProc>(module_, "OpenPlugin");
    Configure = FindEntryPoint<ConfigureProc>(module_, "Configure");
}

PluginDll::~PluginDll() {
    if (module_ != nullptr) FreeLibrary(module_);
}

// ---- scratch registry keys ---------------------------------------------------

ScratchKey::ScratchKey(const std::string& path) : path_(path) { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }

ScratchKey::~ScratchKey() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }

bool ScratchKey::Exists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void ScratchKey::SetRaw(const std::string& name, DWORD type, const void* data, DWORD size) const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void ScratchKey::SetText(const std::string& name, const std::string& text) const {
    SetRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ScratchKey::Get(const std::string& name, DWORD& type, std::vector<uint8_t>& data) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data.assign(size, 0);
        status = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string TestKeyPath(const std::string& suffix) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string path = "Software\\LanternixTests\\";
    path += test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "NoTest";
    return path + suffix;
}
