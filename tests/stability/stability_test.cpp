// Tens of thousands of calls of every entry point of the real DLL, and load and
// unload cycles of it, must leave the process's handles, heap and
// thread-local storage slots where they were. Each run is warmed up first, so
// what the platform sets up once on first use is in the baseline.
//
// The host here is lean on purpose: its services keep no logs and allocate
// nothing, so every byte that comes or goes is the DLL's (or the platform's on
// its behalf).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "tests/stability/resource_meter.h"
#include "tests/testbed/test_host.h"
#include "tests/testbed/win_testbed.h"

namespace {

// ---- the lean host -------------------------------------------------------------

const char* const MessageTexts[] = {"Store", "Cancel", "Lanternix", "Lanternix settings", "Patterns:"};
PanelItemRecord PanelItems[2];
int32_t DialogResult = -1;
const char* DialogEdit = nullptr;

const char* __stdcall LeanMessage(int32_t, int32_t id) { return id >= 0 && id < 5 ? MessageTexts[id] : nullptr; }

int32_t __stdcall LeanPanel(int32_t, int32_t command, void* parameter) {
    if (command == PanelGetInfo && parameter != nullptr) {
        auto* info = static_cast<PanelInfoRecord*>(parameter);
        info->Items = PanelItems;
        info->ItemCount = 2;
        info->CurrentItem = 0;
        info->TopItem = 0;
    }
    return 1;
}

int32_t __stdcall LeanMatch(const char* pattern, const char* name, int32_t) {
    return WildcardMatch(pattern, name) ? 1 : 0;
}

int32_t __stdcall LeanDialog(int32_t, int32_t, int32_t, int32_t, int32_t, const char*, DialogItemRecord* items,
                             int32_t count) {
    if (DialogEdit != nullptr && count > 2) {
        std::memset(items[2].Text, 0, sizeof items[2].Text);
        std::strncpy(items[2].Text, DialogEdit, sizeof items[2].Text - 1);
    }
    return DialogResult;
}

StartupRecord LeanRecord(const char* registryRoot) {
    StartupRecord record;
    std::memset(&record, 0, sizeof record);
    record.ModuleId = 7;
    record.RegistryRoot = registryRoot;
    record.DialogService = LeanDialog;
    record.MessageService = LeanMessage;
    record.PanelControlService = LeanPanel;
    record.NameMatchService = LeanMatch;
    return record;
}

// ---- console records, queued in batches ------------------------------------------

constexpr int Batch = 500;
INPUT_RECORD QueuedRecords[Batch];

INPUT_RECORD CtrlRecord(bool down) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
    record.Event.KeyEvent.wRepeatCount = 1;
    record.Event.KeyEvent.wVirtualKeyCode = VK_CONTROL;
    record.Event.KeyEvent.wVirtualScanCode = 0x1D;
    return record;
}

// One batch of Ctrl presses, every fourth one a release (which sends keys).
void QueueBatch(bool withReleases) {
    for (int i = 0; i < Batch; ++i) QueuedRecords[i] = CtrlRecord(!withReleases || i % 4 != 3);
    DWORD written = 0;
    WriteConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), QueuedRecords, Batch, &written);
}

// ---- the runs ---------------------------------------------------------------------

double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class Stability : public ::testing::Test {
protected:
    ScratchKey stored{TestKeyPath("Stored")};
    ScratchKey storedSettings{stored.Path() + "\\Lanternix"};
    ScratchKey missing{TestKeyPath("Missing")};
    std::string storedRoot = stored.Path();
    std::string missingRoot = missing.Path();
    std::string longList;

    void SetUp() override {
        ASSERT_TRUE(ConsoleInputAvailable());
        FlushConsoleInput();
        PanelItems[0] = MakePanelItem("setup.exe");
        PanelItems[1] = MakePanelItem("readme.txt");
        DialogResult = -1;
        DialogEdit = nullptr;
        // A list long enough to live on the heap, stored under one root only.
        for (int i = 0; longList.size() < 3000; ++i) longList += "*.x" + std::to_string(i) + ",";
        storedSettings.SetText("EnterExt", longList);
        KeyCapture::Instance().TakeKeys();
    }
    void TearDown() override { FlushConsoleInput(); }

    // Runs call(i) to warm up, takes the baseline, runs it `count` times more
    // and compares. `handlesPerCall` is what each call may keep on purpose.
    void ExpectNothingLeft(const char* what, int warmUp, int count, const std::function<void(int)>& call,
                           DWORD handlesPerCall = 0) {
        for (int i = 0; i < warmUp; ++i) call(i);
        const ResourceSnapshot before = ResourceSnapshot::Take();
        const double start = Seconds();
        for (int i = 0; i < count; ++i) call(i);
        const double elapsed = Seconds() - start;
        const ResourceSnapshot after = ResourceSnapshot::Take();
        std::printf("%s: %d calls in %.2f s (%.1f us each)\n  before: %s\n  after:  %s\n", what, count, elapsed,
                    elapsed * 1e6 / count, before.Describe().c_str(), after.Describe().c_str());
        EXPECT_EQ(after.Handles, before.Handles + handlesPerCall * static_cast<DWORD>(count)) << what;
        EXPECT_EQ(after.Crt.Bytes, before.Crt.Bytes) << what;
        EXPECT_EQ(after.Crt.Blocks, before.Crt.Blocks) << what;
        EXPECT_EQ(after.AllHeaps.Bytes, before.AllHeaps.Bytes) << what;
        EXPECT_EQ(after.AllHeaps.Blocks, before.AllHeaps.Blocks) << what;
        EXPECT_EQ(after.TlsSlot, before.TlsSlot) << what;
    }
};

// The meters move when they should: a handle, a heap block of the DLL's own
// heap (the CRT's, which also holds the DLL's texts) and a TLS slot.
TEST_F(Stability, MetersSeeWhatTheyMeasure) {
    const DWORD handles = ProcessHandleCount();
    ASSERT_GT(handles, 0u);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(ProcessHandleCount(), handles + 1);
    CloseHandle(event);
    EXPECT_EQ(ProcessHandleCount(), handles);

    const DWORD slot = LowestFreeTlsSlot();
    const DWORD taken = TlsAlloc();
    EXPECT_EQ(taken, slot);
    EXPECT_GT(LowestFreeTlsSlot(), slot);
    TlsFree(taken);
    EXPECT_EQ(LowestFreeTlsSlot(), slot);

    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    StartupRecord record = LeanRecord(missingRoot.c_str());
    dll.SetStartupInfo(&record);
    const HeapUse withDefault = HeapUseOf(CrtHeap());
    record = LeanRecord(storedRoot.c_str());
    dll.SetStartupInfo(&record);
    const HeapUse withLongList = HeapUseOf(CrtHeap());
    // The 3000-character list replaces the 87-character default there.
    EXPECT_GT(withLongList.Bytes, withDefault.Bytes + longList.size() / 2) << "the DLL's list lives in the CRT heap";
}

TEST_F(Stability, SetStartupInfoKeepsNothing) {
    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    StartupRecord withList = LeanRecord(storedRoot.c_str());
    StartupRecord withoutList = LeanRecord(missingRoot.c_str());
    ExpectNothingLeft("SetStartupInfo", 500, 20000,
                      [&](int i) { dll.SetStartupInfo(i % 2 == 0 ? &withList : &withoutList); });
}

TEST_F(Stability, GetPluginInfoKeepsNothing) {
    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    StartupRecord record = LeanRecord(storedRoot.c_str());
    dll.SetStartupInfo(&record);
    PluginInfoRecord info{};
    ExpectNothingLeft("GetPluginInfo", 500, 50000, [&](int) { dll.GetPluginInfo(&info); });
    EXPECT_STREQ(info.MenuEntryTexts[0], "Lanternix");
}

// Results cycle through no change, a change in memory and a stored change,
// with a short and a long edit.
TEST_F(Stability, ConfigureKeepsNothing) {
    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    StartupRecord record = LeanRecord(storedRoot.c_str());
    dll.SetStartupInfo(&record);
    const std::string longEdit = longList.substr(0, 400);
    ExpectNothingLeft("Configure", 300, 20000, [&](int i) {
        DialogResult = i % 3 == 0 ? -1 : (i % 3 == 1 ? 4 : 3);
        DialogEdit = i % 2 == 0 ? "*.exe,*.com" : longEdit.c_str();
        dll.Configure(0);
    });
}

// Mostly Ctrl presses (nothing sent); every fourth record a release over
// setup.exe, which matches the list and sends Ctrl up and Enter. The keys are
// taken from the hook once per batch.
TEST_F(Stability, OpenPluginKeepsNothing) {
    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    StartupRecord record = LeanRecord(missingRoot.c_str());
    dll.SetStartupInfo(&record);
    size_t keys = 0;
    Watchdog watchdog("OpenPlugin runs", 240000);
    ExpectNothingLeft("OpenPlugin", 2 * Batch, 40 * Batch, [&](int i) {
        if (i % Batch == 0) {
            keys += KeyCapture::Instance().TakeKeys().size();
            QueueBatch(true);
        }
        dll.OpenPlugin(0, 0);
    });
    keys += KeyCapture::Instance().TakeKeys().size();
    EXPECT_EQ(keys, 42u * Batch / 4 * 3) << "Ctrl up, Enter down and up for every release";
    EXPECT_EQ(PendingConsoleEvents(), 0u);
}

// Every load runs all four entry points. GCC 12's unwinder, linked into the
// DLL, makes a semaphore for its registration lock at every load and has no
// way to close it: one handle per load stays with the process. Nothing else
// may.
TEST_F(Stability, LoadAndUnloadCyclesKeepNothingButTheUnwindersLock) {
    StartupRecord record = LeanRecord(storedRoot.c_str());
    PluginInfoRecord info{};
    DialogResult = 4;
    DialogEdit = "*.exe";
    Watchdog watchdog("load cycles", 240000);
    ExpectNothingLeft(
        "LoadLibrary ... FreeLibrary", 50, 2000,
        [&](int) {
            PluginDll dll;
            dll.SetStartupInfo(&record);
            dll.GetPluginInfo(&info);
            dll.Configure(0);
            QueueConsoleRecord(CtrlRecord(true));
            dll.OpenPlugin(0, 0);
        },
        1);
}

}  // namespace
