#include <gtest/gtest.h>

#include "tests/testbed/test_host.h"
#include "tests/testbed/win_testbed.h"

TEST(Smoke, CtrlReleaseOverSetupExe) {
    ASSERT_TRUE(ConsoleInputAvailable());
    TestHost& host = TestHost::Instance();
    host.Reset();
    host.AddItem("setup.exe");
    KeyCapture::Instance().TakeKeys();
    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    StartupRecord record = host.Record();
    dll.SetStartupInfo(&record);
    QueueKeyEvent(VK_CONTROL, 0x1D, false);
    Watchdog watchdog("OpenPlugin", 10000);
    EXPECT_EQ(dll.OpenPlugin(0, 0), -1);
    auto keys = Describe(KeyCapture::Instance().TakeKeys());
    for (auto& k : keys) printf("%s\n", k.c_str());
    for (auto& c : host.Calls) printf("%s\n", c.c_str());
}
