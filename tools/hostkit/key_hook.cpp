// The low-level keyboard hook on its own thread that catches injected keys.
#include "tools/hostkit/key_hook.h"

#include <mutex>

#include "tools/hostkit/system_handles.h"

namespace {

// The fence: F24 with an extra-info value the plug-in never sends.
constexpr BYTE FenceKey = VK_F24;
constexpr ULONG_PTR FenceExtraInfo = 0x46454E43;

std::mutex Lock;
std::vector<SentKey> Seen;
UniqueKernelHandle HookReady;
bool HookInstalled = false;

bool IsFence(const SentKey& key) { return key.VirtualKey == FenceKey && key.ExtraInfo == FenceExtraInfo; }

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if ((event->flags & LLKHF_INJECTED) != 0) {
            std::lock_guard<std::mutex> guard(Lock);
            Seen.push_back({event->vkCode, event->scanCode, event->flags, event->dwExtraInfo});
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A low-level hook is called on the thread that installed it, through that
// thread's message loop.
DWORD WINAPI HookThread(LPVOID) {
    const UniqueHook hook(SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0));
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    HookInstalled = static_cast<bool>(hook);
    SetEvent(HookReady.get());
    if (!hook) return 1;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

void SendFence() {
    keybd_event(FenceKey, 0, 0, FenceExtraInfo);
    keybd_event(FenceKey, 0, KEYEVENTF_KEYUP, FenceExtraInfo);
}

bool WaitForFence(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        {
            std::lock_guard<std::mutex> guard(Lock);
            for (const SentKey& key : Seen)
                if (IsFence(key) && key.Up()) return true;
        }
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
    return false;
}

}  // namespace

std::string FlagWords(DWORD flags) {
    std::string words;
    auto add = [&words](const char* word) { words += (words.empty() ? "" : " ") + std::string(word); };
    if (flags & LLKHF_INJECTED) add("injected");
    if (flags & LLKHF_EXTENDED) add("extended");
    if (flags & LLKHF_ALTDOWN) add("alt");
    return words;
}

bool InjectedKeyHook::Start() {
    HookReady.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!HookReady) return false;
    const UniqueKernelHandle thread(CreateThread(nullptr, 0, HookThread, nullptr, 0, nullptr));
    if (!thread) return false;
    WaitForSingleObject(HookReady.get(), 10000);
    if (!HookInstalled) return false;
    // The first keys after a hook is installed can be missed: warm up until
    // a fence comes back.
    bool seen = false;
    for (int attempt = 0; attempt < 50 && !seen; ++attempt) {
        SendFence();
        seen = WaitForFence(200);
    }
    std::lock_guard<std::mutex> guard(Lock);
    Seen.clear();
    return seen;
}

std::vector<SentKey> InjectedKeyHook::Take(bool& complete) {
    SendFence();
    complete = WaitForFence(5000);
    std::lock_guard<std::mutex> guard(Lock);
    std::vector<SentKey> keys;
    for (const SentKey& key : Seen)
        if (!IsFence(key)) keys.push_back(key);
    Seen.clear();
    return keys;
}
