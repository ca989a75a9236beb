// The shared start of the tests of the loaded DLL, and the list it uses as the host sees it.
#include "tests/testbed/dll_test.h"

void DllTest::SetUp() {
    ASSERT_TRUE(ConsoleInputAvailable());
    FlushConsoleInput();
    host.Reset();
    host.RegistryRoot = scratch.Path();
    KeyCapture::Instance().TakeKeys();
}

void DllTest::TearDown() {
    FlushConsoleInput();
    KeyCapture::Instance().TakeKeys();
}

std::vector<std::string> DllTest::PatternsAsked(PluginDll& dll) {
    host.PanelItems.clear();
    host.AddItem("x.y");
    host.CurrentItem = 0;
    host.Matcher = [](const std::string&, const std::string&) { return false; };
    host.NameMatchCalls.clear();
    KeyCapture::Instance().TakeKeys();
    QueueKeyEvent(VK_CONTROL, CtrlScanCode, false);
    {
        Watchdog watchdog("OpenPlugin", 10000);
        EXPECT_EQ(dll.OpenPlugin(0, 0), -1);
    }
    KeyCapture::Instance().TakeKeys();
    for (const NameMatchCall& call : host.NameMatchCalls) {
        EXPECT_EQ(call.Name, "x.y");
        EXPECT_EQ(call.Flag, -1);
    }
    return host.MatchedPatterns();
}
