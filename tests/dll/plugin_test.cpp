// Registration and lifecycle through the real DLL: the list loaded at start-up
// is observed through the patterns a Ctrl release over a non-matching file
// asks the host about, in order.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/testbed/test_host.h"
#include "tests/testbed/win_testbed.h"
#include "tools/hostkit/system_handles.h"

namespace {

const char ValueName[] = "EnterExt";
const std::vector<std::string> DefaultPatterns = {"*.com", "*.exe", "*.bat", "*.cmd", "*.rar",
                                                  "*.arj", "*.zip", "*.lzh", "*.ha",  "*.uc2",
                                                  "*.ain", "*.gz",  "*.tar", "*.tgz", "*.bz2"};

// Patterns "*.N" joined by commas into a list of exactly the given length.
std::string ListOfLength(size_t length, std::vector<std::string>& patterns) {
    patterns.clear();
    std::string list;
    for (int index = 0; list.size() + 12 < length; ++index) {
        patterns.push_back("*." + std::to_string(index));
        list += patterns.back() + ",";
    }
    patterns.push_back("*." + std::string(length - list.size() - 2, 'z'));
    list += patterns.back();
    return list;
}

DWORD WINAPI IdleThread(LPVOID) { return 0; }

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ConsoleInputAvailable());
        FlushConsoleInput();
        host.Reset();
        host.RegistryRoot = scratch.Path();
        KeyCapture::Instance().TakeKeys();
    }
    void TearDown() override {
        FlushConsoleInput();
        KeyCapture::Instance().TakeKeys();
    }

    void Start(PluginDll& dll) {
        StartupRecord record = host.Record();
        dll.SetStartupInfo(&record);
    }

    // The plug-in's pattern list as the host sees it: a Ctrl release over a
    // file that matches nothing asks about every pattern, in list order.
    std::vector<std::string> PatternsAsked(PluginDll& dll) {
        host.PanelItems.clear();
        host.AddItem("x.y");
        host.CurrentItem = 0;
        host.Matcher = [](const std::string&, const std::string&) { return false; };
        host.NameMatchCalls.clear();
        QueueKeyEvent(VK_CONTROL, 0x1D, false);
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

    TestHost& host = TestHost::Instance();
    ScratchKey scratch{TestKeyPath()};
};

// ---- the list loaded at start-up -----------------------------------------------

TEST_F(PluginTest, FirstRunUsesTheDefaultListAndCreatesNoKey) {
    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    Start(dll);
    EXPECT_TRUE(host.Calls.empty()) << "start-up asks the host nothing";
    EXPECT_EQ(PatternsAsked(dll), DefaultPatterns);
    EXPECT_FALSE(scratch.Exists());
}

TEST_F(PluginTest, StoredListReplacesTheDefault) {
    ScratchKey settings(scratch.Path() + "\\Lanternix");
    settings.SetText(ValueName, "*.q, *.r,,x");
    PluginDll dll;
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), (std::vector<std::string>{"*.q", " *.r", "", "x"}));

    // Stored empty: no pattern at all, not the default.
    settings.SetText(ValueName, "");
    Start(dll);
    EXPECT_TRUE(PatternsAsked(dll).empty());

    const DWORD letterA = 0x41;
    settings.SetRaw(ValueName, REG_DWORD, &letterA, sizeof letterA);
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"A"});
}

TEST_F(PluginTest, ListsUpTo8192BytesAreReadLargerOnesGiveTheDefault) {
    ScratchKey settings(scratch.Path() + "\\Lanternix");
    std::vector<std::string> patterns;
    const std::string longest = ListOfLength(8191, patterns);  // 8192 bytes with the zero
    ASSERT_EQ(longest.size(), 8191u);
    settings.SetText(ValueName, longest);
    PluginDll dll;
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), patterns);

    std::vector<std::string> ignored;
    settings.SetText(ValueName, ListOfLength(8192, ignored));  // 8193 bytes
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), DefaultPatterns);

    // Data with no zero byte at all end where the data end.
    const std::string unterminated = ListOfLength(8192, patterns);
    settings.SetRaw(ValueName, REG_BINARY, unterminated.data(), 8192);
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), patterns);
}

// ---- the key path ------------------------------------------------------------

TEST_F(PluginTest, EveryStartUpRebuildsThePathAndRereadsTheList) {
    ScratchKey first(scratch.Path() + "\\One\\Lanternix");
    ScratchKey second(scratch.Path() + "\\Two\\Lanternix");
    first.SetText(ValueName, "*.one");
    second.SetText(ValueName, "*.two");
    PluginDll dll;
    host.RegistryRoot = scratch.Path() + "\\One";
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.one"});

    host.RegistryRoot = scratch.Path() + "\\Two";
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.two"});

    // The same root again: the value is read anew, nothing is cached.
    second.SetText(ValueName, "*.changed");
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.changed"});

    // A root without a stored list brings back the default.
    host.RegistryRoot = scratch.Path() + "\\Three";
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), DefaultPatterns);
}

TEST_F(PluginTest, RootEndingInABackslashStillFindsTheList) {
    // The path holds two backslashes in a row there; the registry reads them
    // as one separator.
    ScratchKey settings(scratch.Path() + "\\Lanternix");
    settings.SetText(ValueName, "*.slash");
    host.RegistryRoot = scratch.Path() + "\\";
    PluginDll dll;
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.slash"});
}

TEST_F(PluginTest, NullRootGivesAPathTheRegistryRefuses) {
    // The path is "\Lanternix": a leading backslash names no key, so even a
    // list stored at "Lanternix" right under the user's root is not read.
    ScratchKey stray("Lanternix");
    stray.SetText(ValueName, "*.stray");
    host.NullRegistryRoot = true;
    PluginDll dll;
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), DefaultPatterns);
}

TEST_F(PluginTest, LongRootIsUsedWhole) {
    const std::string root = scratch.Path() + "\\" + std::string(150, 'r');
    ScratchKey settings(root + "\\Lanternix");
    settings.SetText(ValueName, "*.long");
    host.RegistryRoot = root;
    PluginDll dll;
    Start(dll);
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.long"});
}

// ---- registration --------------------------------------------------------------

TEST_F(PluginTest, GetPluginInfoFillsTheRecordAndHandsOverTheSameCells) {
    PluginDll dll;
    ASSERT_NE(dll.GetPluginInfo, nullptr);
    Start(dll);
    host.Messages[2] = "Relay keys";
    host.Messages[3] = "Relay settings";

    // 40 bytes of the host's and a guard beyond them, all filled in advance.
    uint32_t words[12];
    std::memset(words, 0xCD, sizeof words);
    auto* info = reinterpret_cast<PluginInfoRecord*>(words);
    dll.GetPluginInfo(info);

    EXPECT_EQ(words[0], 40u);
    EXPECT_EQ(words[1], 0u);
    EXPECT_EQ(words[2], 0xCDCDCDCDu);
    EXPECT_EQ(words[3], 0xCDCDCDCDu);
    EXPECT_EQ(words[4], 0u);
    EXPECT_EQ(words[6], 1u);
    EXPECT_EQ(words[8], 1u);
    EXPECT_EQ(words[9], 0u);
    EXPECT_EQ(words[10], 0xCDCDCDCDu);
    EXPECT_EQ(words[11], 0xCDCDCDCDu);
    const char* const* menuCell = info->MenuEntryTexts;
    const char* const* configCell = info->ConfigEntryTexts;
    ASSERT_NE(menuCell, nullptr);
    ASSERT_NE(configCell, nullptr);
    EXPECT_NE(menuCell, configCell);
    EXPECT_EQ(*menuCell, host.Messages[2].c_str()) << "the host's own text, not a copy";
    EXPECT_EQ(*configCell, host.Messages[3].c_str());
    ASSERT_EQ(host.MessageCalls.size(), 2u);
    EXPECT_EQ(host.MessageCalls[0].MessageId, 2);
    EXPECT_EQ(host.MessageCalls[1].MessageId, 3);
    EXPECT_EQ(host.MessageCalls[0].ModuleId, TestHost::ModuleId);
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"Message 2", "Message 3"}));

    // A second call asks again and refreshes the same two cells.
    host.Messages.erase(2);
    host.Messages[3] = "Other settings";
    std::memset(words, 0, sizeof words);
    words[2] = 0x12345678;
    words[3] = 0x9ABCDEF0;
    dll.GetPluginInfo(info);
    EXPECT_EQ(info->MenuEntryTexts, menuCell);
    EXPECT_EQ(info->ConfigEntryTexts, configCell);
    EXPECT_EQ(*menuCell, nullptr) << "passed on untested";
    EXPECT_EQ(*configCell, host.Messages[3].c_str());
    EXPECT_EQ(words[0], 40u);
    EXPECT_EQ(words[2], 0x12345678u);
    EXPECT_EQ(words[3], 0x9ABCDEF0u);
    EXPECT_EQ(words[6], 1u);
    EXPECT_EQ(words[8], 1u);
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"Message 2", "Message 3", "Message 2", "Message 3"}));
}

// ---- load and unload -------------------------------------------------------------

TEST_F(PluginTest, LoadAndUnloadTouchNeitherTheHostNorTheRegistry) {
    ScratchKey stray("Lanternix");
    {
        PluginDll dll;
        ASSERT_TRUE(dll.Loaded());
        EXPECT_NE(dll.SetStartupInfo, nullptr);
        EXPECT_NE(dll.GetPluginInfo, nullptr);
        EXPECT_NE(dll.OpenPlugin, nullptr);
        EXPECT_NE(dll.Configure, nullptr);
        EXPECT_FALSE(stray.Exists());
    }
    EXPECT_TRUE(host.Calls.empty());
    EXPECT_FALSE(stray.Exists());
    EXPECT_TRUE(KeyCapture::Instance().TakeKeys().empty());

    // Unloading a started plug-in stores nothing either.
    ScratchKey settings(scratch.Path() + "\\Lanternix");
    settings.SetText("Other", "kept");
    {
        PluginDll dll;
        Start(dll);
        EXPECT_EQ(PatternsAsked(dll), DefaultPatterns);
    }
    DWORD type = 0;
    std::vector<uint8_t> data;
    EXPECT_FALSE(settings.Get(ValueName, type, data));
    ScratchKey unstored(scratch.Path() + "\\Unstored\\Lanternix");
    {
        PluginDll dll;
        host.RegistryRoot = scratch.Path() + "\\Unstored";
        Start(dll);
    }
    EXPECT_FALSE(unstored.Exists());
}

TEST_F(PluginTest, ThreadsComingAndGoingLeaveTheStateAlone) {
    ScratchKey settings(scratch.Path() + "\\Lanternix");
    settings.SetText(ValueName, "*.kept");
    PluginDll dll;
    Start(dll);
    for (int round = 0; round < 3; ++round) {
        const UniqueKernelHandle thread(CreateThread(nullptr, 0, IdleThread, nullptr, 0, nullptr));
        ASSERT_TRUE(thread);
        WaitForSingleObject(thread.get(), 5000);
    }
    EXPECT_EQ(PatternsAsked(dll), std::vector<std::string>{"*.kept"});
}

}  // namespace
