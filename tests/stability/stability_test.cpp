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
#include <functional>
#include <string>

#include "tests/testbed/expected_facts.h"
#include "tests/testbed/test_host.h"
#include "tests/testbed/win_testbed.h"
#include "tools/hostkit/lean_host.h"
#include "tools/hostkit/resource_meter.h"

namespace {

// ---- the lean host -------------------------------------------------------------

PanelItemRecord PanelItems[2];
LeanHost& lean = LeanHost::Instance();

// ---- console records, queued in batches ------------------------------------------

constexpr int Batch = 500;
INPUT_RECORD QueuedRecords[Batch];

INPUT_RECORD CtrlRecord(bool down) { return KeyEventRecord(VK_CONTROL, CtrlScanCode, down); }

// One batch of Ctrl presses, every fourth one a release (which sends keys).
void QueueBatch(bool withReleases) {
    for (int i = 0; i < Batch; ++i) QueuedRecords[i] = CtrlRecord(!withReleases || i % 4 != 3);
    DWORD written = 0;
    WriteConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), QueuedRecords, Batch, &written);
}

// ---- the runs ---------------------------------------------------------------------

class Stability : public ::testing::Test {
protected:
    ScratchKey stored{TestKeyPath("Stored")};
    ScratchKey storedSettings{expected::SettingsKeyUnder(stored.Path())};
    ScratchKey missing{TestKeyPath("Missing")};
    std::string storedRoot = stored.Path();
    std::string missingRoot = missing.Path();
    std::string longList;

    void SetUp() override {
        ASSERT_TRUE(ConsoleInputAvailable());
        FlushConsoleInput();
        PanelItems[0] = MakePanelItem("setup.exe");
        PanelItems[1] = MakePanelItem("readme.txt");
        lean = LeanHost{};
        lean.Items = PanelItems;
        lean.ItemCount = 2;
        // A list long enough to live on the heap, stored under one root only.
        for (int i = 0; longList.size() < 3000; ++i) longList += "*.x" + std::to_string(i) + ",";
        storedSettings.SetText(expected::ValueName, longList);
        KeyCapture::Instance().TakeKeys();
    }
    void TearDown() override { FlushConsoleInput(); }

    // Runs call(i) to warm up, takes the baseline, runs it `count` times more
    // and compares.
    void ExpectNothingLeft(const char* what, int warmUp, int count, const std::function<void(int)>& call) {
        for (int i = 0; i < warmUp; ++i) call(i);
        const ResourceSnapshot before = ResourceSnapshot::Take();
        const double start = Seconds();
        for (int i = 0; i < count; ++i) call(i);
        const double elapsed = Seconds() - start;
        const ResourceSnapshot after = ResourceSnapshot::Take();
        std::printf("%s: %d calls in %.2f s (%.1f us each)\n  before: %s\n  after:  %s\n", what, count, elapsed,
                    elapsed * 1e6 / count, before.Describe().c_str(), after.Describe().c_str());
        EXPECT_EQ(after.Handles, before.Handles) << what;
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
        lean.DialogResult = i % 3 == 0 ? -1 : (i % 3 == 1 ? 4 : 3);
        lean.DialogEdit = i % 2 == 0 ? "*.exe,*.com" : longEdit.c_str();
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

// Every load runs all four entry points; 2000 loads leave not one handle, heap
// byte or TLS slot behind.
TEST_F(Stability, LoadAndUnloadCyclesKeepNothing) {
    StartupRecord record = LeanRecord(storedRoot.c_str());
    PluginInfoRecord info{};
    lean.DialogResult = 4;
    lean.DialogEdit = "*.exe";
    Watchdog watchdog("load cycles", 240000);
    ExpectNothingLeft("LoadLibrary ... FreeLibrary", 50, 2000, [&](int) {
        PluginDll dll;
        dll.SetStartupInfo(&record);
        dll.GetPluginInfo(&info);
        dll.Configure(0);
        QueueConsoleRecord(CtrlRecord(true));
        dll.OpenPlugin(0, 0);
    });
}

}  // namespace
